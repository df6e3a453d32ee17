#pragma once

#include <cstdint>
#include <vector>

#include "grid/IntBox.h"
#include "grid/VoxelGrid.h"

// Replaces `out` with a description of the grid's cells that meet `box`, in a
// fixed walk of the hierarchy: a word per uniform or subdivided cell, and the
// 512 bits of every leaf block met. For one box and one level count, two
// equal descriptions mean the box holds the same voxels. Leaf blocks that the
// box only grazes are described whole, so a change just outside the box may
// change the description too.
void describe_box_contents(const VoxelGrid& grid, const IntBox& box, std::vector<uint64_t>& out);
