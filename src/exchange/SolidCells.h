#pragma once

#include <cstdint>
#include <functional>

#include "grid/IntBox.h"

class VoxelGrid;

// Calls visit(part) for the solid voxels of `box`, as boxes that together
// cover them exactly once: a wholly solid cell of the hierarchy comes as one
// box (clipped to `box`), a leaf block's voxels as runs along x. The walk
// reads only the cells that meet the box, so its cost follows the
// structure, not the volume.
void for_each_solid_part(const VoxelGrid& grid, const IntBox& box, const std::function<void(const IntBox&)>& visit);

// Solid voxels inside `box`, at most UINT64_MAX.
uint64_t count_solid_in_box(const VoxelGrid& grid, const IntBox& box);
