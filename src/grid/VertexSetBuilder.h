#pragma once

#include <cstdint>

class SurfaceVertexSet;
class VoxelGrid;

// Fills an empty vertex set for the whole grid: the same result as updating
// every solid voxel of the safe range without removal, but only cells near
// the surface are looked at. The hierarchy is walked from the root, children
// z outer, y middle, x inner. Mixed cells are entered; a solid cell is
// skipped when buried and otherwise has the children along its faces (its
// shell) examined, down to single voxels; clear cells cost nothing. A
// leaf-sized block is scanned a row of eight voxels at a time for those not
// wholly surrounded by solid ones. The cost stays linear in the cells looked
// at whatever their keys: blocks are found through a table on a seeded mixing
// hash, not through the grid's fixed buckets.
void build_vertex_set(SurfaceVertexSet& vertices, const VoxelGrid& grid, uint32_t boundary_flag);
