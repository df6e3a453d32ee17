#pragma once

#include <array>
#include <cstdint>

// The triangles of the limit surface, cube by cube. A cube is 2 x 2 x 2
// neighbouring voxels; its corner j is the voxel o + (j >> 2 & 1, j >> 1 & 1,
// j & 1) where o is its lowest voxel, and its case is the byte whose bit j is
// set when corner j is solid. Every corner a triangle names is solid in its
// case, and the triangles wind counter-clockwise seen from the clear side, so
// (p1 - p0) x (p2 - p0) points into clear space.

constexpr unsigned kCubeCases = 256;
constexpr unsigned kCubeCorners = 8;
constexpr unsigned kMaxCubeTriangles = 5;

// Three corner numbers.
using CubeTriangle = std::array<std::uint8_t, 3>;

// The triangles of one case, in table order.
class CubeTriangles {
public:
    CubeTriangles() = default;
    // Reads a table row: triangles of three corners, ended by the byte 255.
    explicit CubeTriangles(const std::uint8_t* row);

    const CubeTriangle* begin() const { return triangles_.data(); }
    const CubeTriangle* end() const { return triangles_.data() + count_; }
    unsigned size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const CubeTriangle& operator[](unsigned i) const { return triangles_[i]; }

private:
    std::array<CubeTriangle, kMaxCubeTriangles> triangles_{};
    unsigned count_ = 0;
};

// The triangles of cube_case; none for a value above 255.
CubeTriangles triangles_of(unsigned cube_case);

// The corners that share a triangle edge with corner in cube_case's
// triangles: bit k set means corner k is joined to it. 0 for a case above
// 255 or a corner above 7.
std::uint8_t corner_adjacency(unsigned cube_case, unsigned corner);
