#pragma once

#include <array>
#include <cstdint>

#include "grid/VoxelNeighbourhood.h"
#include "grid/VoxelPosition.h"

class VoxelGrid;

// The surface neighbours of a grid point: the points joined to it by an edge
// of a limit-surface triangle in one of the eight cubes of 2 x 2 x 2 voxels
// that have the point as a corner. Distinct, in the order in which they are
// found (cube by cube, corner by corner), at most 26.
class SurfaceNeighbours {
public:
    const VoxelPosition* begin() const { return points_.data(); }
    const VoxelPosition* end() const { return points_.data() + count_; }
    uint32_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    const VoxelPosition& operator[](uint32_t i) const { return points_[i]; }

    void push_back(const VoxelPosition& point) { points_[count_++] = point; }

private:
    std::array<VoxelPosition, 26> points_{};
    uint32_t count_ = 0;
};

// The neighbours of (x, y, z), given the solid voxels around it. Cube i
// (0 .. 7) has its lowest voxel at (x - 1, y - 1, z - 1) + (i >> 2 & 1,
// i >> 1 & 1, i & 1), and the point is its corner 7 - i; the corners joined to
// that corner in the cube's case are appended, lowest corner number first,
// unless already listed. A clear point has none: every triangle corner is
// solid in its case.
SurfaceNeighbours surface_neighbours(NeighbourhoodBits around, uint32_t x, uint32_t y, uint32_t z);

// The same neighbours as neighbourhood bit numbers (offsets from the point),
// written to `bits`, which has room for 26; returns how many.
uint32_t surface_neighbour_bits(NeighbourhoodBits around, uint8_t* bits);

// The same, reading the voxels from the grid. The point must lie at least one
// voxel inside the grid's faces.
SurfaceNeighbours collect_surface_neighbours(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z);
