#pragma once

#include <cstdint>
#include <vector>

#include "grid/VoxelPosition.h"

class VoxelGrid;

// True when, on each of the three axes, at least one of the voxel's two
// neighbours along that axis is solid. A neighbour beyond the grid's faces
// counts as clear. The axes are tested x, y, z (lower neighbour first) and the
// test stops at the first axis without support; the voxel itself is not read.
bool is_supported(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z);

// The cascade after a removal, depth first: visits the 26 neighbours of the
// voxel (x from x + 1 down to x - 1, within it y likewise, within it z),
// skipping those beyond the grid. A neighbour that is solid but no longer
// supported is cleared, appended to `changes` and has its own neighbours
// visited at once, before the next neighbour of the voxel. The walk keeps its
// frames on the heap, so a cascade through millions of voxels cannot exhaust
// the call stack.
void remove_unsupported_neighbours(VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z,
                                   std::vector<VoxelPosition>& changes);
