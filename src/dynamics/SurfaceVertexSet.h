#pragma once

#include <cstddef>
#include <cstdint>
#include <set>

#include "dynamics/MeshVertexSink.h"
#include "dynamics/PhysicsParameters.h"
#include "dynamics/SurfaceVertex.h"
#include "dynamics/VertexKey.h"

// Orders vertices by their voxel coordinates, x then y then z: the numeric order of their keys. Transparent,
// so a vertex can be looked up by coordinates alone.
struct VoxelOrder {
    using is_transparent = void;
    bool operator()(const SurfaceVertex& a, const SurfaceVertex& b) const { return a.voxel() < b.voxel(); }
    bool operator()(const SurfaceVertex& a, const VertexCoordinates& b) const { return a.voxel() < b; }
    bool operator()(const VertexCoordinates& a, const SurfaceVertex& b) const { return a < b.voxel(); }
};

// The simulated surface vertices of one grid, unique by key and kept in ascending key order. Vertices live in
// the nodes of an ordered set, so a vertex never moves: references to it, including the neighbour lists of
// other vertices, stay valid while other vertices are added and erased. Erasing a vertex that is still
// someone's neighbour leaves that reference dangling; the surface upkeep relinks the neighbours first.
class SurfaceVertexSet {
public:
    using const_iterator = std::set<SurfaceVertex, VoxelOrder>::const_iterator;

    // An empty set for a grid of `levels` levels, which fixes the key width.
    explicit SurfaceVertexSet(uint32_t levels);
    SurfaceVertexSet(const SurfaceVertexSet&) = delete;
    SurfaceVertexSet& operator=(const SurfaceVertexSet&) = delete;

    uint32_t levels() const { return levels_; }

    VertexKey make_key(uint32_t x, uint32_t y, uint32_t z) const;
    VertexCoordinates split_key(VertexKey key) const;
    VertexKey key_of(const SurfaceVertex& vertex) const;

    // The vertex of the key, or null.
    SurfaceVertex* find(VertexKey key);
    const SurfaceVertex* find(VertexKey key) const;

    // The vertex of the key, made at rest on its anchor with no neighbours when there is none.
    SurfaceVertex& find_or_create(VertexKey key);

    // Gives the key's vertex (made as find_or_create does when missing) a copy of the `count` neighbours at
    // `neighbours`. An existing vertex keeps its position, velocity and stamp, and keeps its neighbour array
    // when the count is unchanged.
    SurfaceVertex& set_vertex(VertexKey key, uint32_t count, const SurfaceVertex* const* neighbours);

    // Removes and destroys the key's vertex, if there is one.
    void erase(VertexKey key);

    // Destroys every vertex.
    void clear();

    // Puts every vertex back on its anchor at rest, in key order.
    void snap_to_voxels();

    // Advances the vertex at voxel (x, y, z) by one step in frame `frame` (unless it already was in that
    // frame), appends its position to `mesh` and returns the mesh index. With physics off the vertex is not
    // moved and its position from the read buffer is shown.
    //
    // A voxel without a vertex means the surface upkeep missed a point. Drawing then goes on through the
    // voxel's anchor, appended afresh on each such call, and the set is left unchanged: the display never
    // alters the model.
    uint32_t advance_and_emit(uint32_t x, uint32_t y, uint32_t z, uint32_t frame, MeshVertexSink& mesh,
                              const PhysicsParameters& physics);

    std::size_t size() const { return vertices_.size(); }
    bool empty() const { return vertices_.empty(); }

    // Read access in ascending key order.
    const_iterator begin() const { return vertices_.begin(); }
    const_iterator end() const { return vertices_.end(); }

private:
    SurfaceVertex* find_voxel(const VertexCoordinates& voxel);

    std::set<SurfaceVertex, VoxelOrder> vertices_;
    uint32_t levels_;
    uint32_t key_bits_;
};
