#pragma once

#include <cstdint>
#include <vector>

#include "dynamics/MeshVertexSink.h"
#include "math/Vector3.h"

// The triangle mesh of the limit surface, rebuilt every frame that shows it.
// Per vertex it keeps a position and a normal (four floats each, the fourth
// 0, so that both can be handed to OpenGL with a 16-byte stride), three sets
// of texture coordinates (the planar projections along y, x and z) and two
// RGBA colours whose alphas blend those projections by the normal. Three
// indices make a triangle.
//
// Building and the per-vertex computations touch no OpenGL; only the draw
// operations do.
class SurfaceMesh : public MeshVertexSink {
public:
    static constexpr uint32_t kTextureSets = 3;
    static constexpr uint32_t kColourSets = 2;

    // Appends (x, y, z, 0) to the positions; returns the new vertex's index.
    uint32_t add_vertex(const Vector3& position) override;
    uint32_t add_vertex(float x, float y, float z);
    uint32_t add_vertex_int(uint32_t x, uint32_t y, uint32_t z);
    void add_triangle(uint32_t i0, uint32_t i1, uint32_t i2);
    // Room for `count` more vertices at the end, (x, y, z, 0) each, for the
    // caller to fill; keep_vertices(n) then drops all but the first n.
    float* add_vertex_room(uint32_t count);
    void keep_vertices(uint32_t count) { positions_.resize(4 * size_t(count)); }
    // Room for `count` more indices, to be filled by the caller.
    uint32_t* add_index_room(size_t count);
    // Appends the `count` indices at `corners`, each plus `offset`.
    void add_indices(const uint32_t* corners, size_t count, uint32_t offset);

    // Empties the positions and the indices (the other arrays are sized
    // again by the computations below).
    void reset();

    // Smooth vertex normals: the sum of the unit normals of the triangles
    // around each vertex, scaled to unit length. A triangle of zero area adds
    // nothing, and a vertex whose normals cancel, or that no triangle uses,
    // gets the zero normal.
    void compute_normals();

    // Texture coordinates of the three planar projections and the alphas that
    // blend them, relative to the box corner (x0, y0, z0) with `scale`
    // texture repeats per voxel unit. The fractional offset of the corner is
    // added back so that the texture stays fixed to the world as the box
    // moves. Reads the normals: call compute_normals first.
    void compute_texture_data(float x0, float y0, float z0, float scale);

    // Draws every triangle untextured, lit with the normals when `lit`.
    void draw_plain(bool lit) const;
    // Draws the triangle list in several passes: the projection along x, then
    // along z and along y blended over it by the normal, then the lit (and,
    // when `fogged`, fogged) colour combined with what was drawn. Leaves
    // blending off and the depth test at GL_LESS.
    void draw_textured(uint32_t first_texture, uint32_t second_texture, bool lit, bool fogged) const;

    uint32_t vertex_count() const { return static_cast<uint32_t>(positions_.size() / 4); }
    uint32_t index_count() const { return static_cast<uint32_t>(indices_.size()); }
    uint32_t triangle_count() const { return index_count() / 3; }

    Vector3 position(uint32_t vertex) const { return vector_at(positions_, vertex); }
    Vector3 normal(uint32_t vertex) const { return vector_at(normals_, vertex); }
    // Texture coordinates (s, t) of `set` for the vertex.
    float texture_s(uint32_t set, uint32_t vertex) const { return texture_coordinates_[set][2 * vertex]; }
    float texture_t(uint32_t set, uint32_t vertex) const { return texture_coordinates_[set][2 * vertex + 1]; }
    // The RGBA bytes of colour `set` for the vertex.
    const uint8_t* colour(uint32_t set, uint32_t vertex) const { return &colours_[set][4 * vertex]; }

    const std::vector<float>& positions() const { return positions_; }
    const std::vector<float>& normals() const { return normals_; }
    const std::vector<uint32_t>& indices() const { return indices_; }

private:
    static Vector3 vector_at(const std::vector<float>& array, uint32_t vertex) {
        return Vector3(array[4 * vertex], array[4 * vertex + 1], array[4 * vertex + 2]);
    }
    void add_to_normal(uint32_t vertex, const Vector3& n);
    // One glDrawElements call over every index.
    void draw_elements() const;

    std::vector<float> positions_;
    std::vector<float> normals_;
    std::vector<float> texture_coordinates_[kTextureSets];
    std::vector<uint8_t> colours_[kColourSets];
    std::vector<uint32_t> indices_;
};

// The process-wide mesh of the limit surface display, kept between frames.
SurfaceMesh& surface_mesh();
