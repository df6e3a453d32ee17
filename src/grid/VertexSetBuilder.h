#pragma once

#include <cstdint>

class SurfaceVertexSet;
class VoxelGrid;

// How the 26 cells around a cell of a given depth stand, counted by state.
struct NeighbourClasses {
    uint32_t subdivided = 0;
    uint32_t solid = 0;
    uint32_t clear = 0;

    // A solid cell among only wholly solid cells holds no surface point.
    bool buried() const { return subdivided == 0 && solid == 26; }
};

// Classifies the 26 cells of depth `depth` (side w = side >> 3 * depth)
// around the one whose lowest voxel is (x, y, z): the neighbour at offset
// (dx, dy, dz) has its lowest voxel at (x + dx * w, y + dy * w, z + dz * w).
// A neighbour beyond the grid counts as solid when `boundary_flag` is not 0,
// as clear when it is.
NeighbourClasses classify_neighbours(const VoxelGrid& grid, uint32_t depth, uint32_t x, uint32_t y, uint32_t z,
                                     uint32_t boundary_flag);

// Fills an empty vertex set for the whole grid: the same result as updating
// every solid voxel of the safe range without removal, but only cells near
// the surface are looked at. The hierarchy is walked from the root, children
// z outer, y middle, x inner. Mixed cells are entered; a solid cell is
// skipped when buried and otherwise has the children along its faces (its
// shell) examined, down to single voxels; clear cells cost nothing.
void build_vertex_set(SurfaceVertexSet& vertices, const VoxelGrid& grid, uint32_t boundary_flag);
