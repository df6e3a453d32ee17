#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

// A triangle mesh to write: vertex i at positions[i * stride + 0 .. 2] (x, y,
// z; `stride` floats from one vertex to the next), and three indices per
// triangle. Trailing indices that do not make a whole triangle are ignored.
struct TriangleMeshView {
    const float* positions = nullptr;
    size_t stride = 3;
    uint32_t vertex_count = 0;
    const uint32_t* indices = nullptr;
    size_t index_count = 0;

    size_t triangle_count() const { return index_count / 3; }
};

enum class MeshFormat {
    Obj,  // Wavefront OBJ text: "v x y z" per vertex, then "f a b c" per triangle, 1-based
    Stl,  // binary STL: 80-byte header, triangle count, per triangle a unit normal and three corners
    Ply,  // binary little-endian PLY: float x, y, z per vertex, a list of uint indices per face
};

// The format named by the path's extension (.obj, .stl or .ply, in any
// case); false for any other extension.
bool mesh_format_of_path(const std::string& path, MeshFormat& format);

// Writes the mesh in `format`. Throws Util_E26EF::Exception when the stream
// fails or an index names no vertex (nothing sensible could be written).
void write_mesh(const TriangleMeshView& mesh, MeshFormat format, std::ostream& out);
// The same to the file at `path` (created or truncated); the format comes
// from the extension, which must be one that mesh_format_of_path knows.
void write_mesh(const TriangleMeshView& mesh, const std::string& path);
