#pragma once

#include <cstdint>
#include <vector>

#include "grid/LeafBlock.h"
#include "grid/VoxelGrid.h"

// A stretch of a row that lies in one cell of the grid: a leaf block, or a
// wholly solid or wholly clear cell (neighbouring uniform cells of the same
// solidity merged into one stretch).
struct RowSpan {
    uint32_t begin = 0;  // along the row's axis
    uint32_t end = 0;    // exclusive
    const LeafBlock* leaf = nullptr;  // null for a uniform stretch
    bool solid = false;               // of a uniform stretch
};

// Appends the stretches, in order, that the row through `voxel` along `axis`
// crosses between `begin` and `end` (exclusive, begin < end <= the grid's
// side). The voxel's own coordinate on the axis is ignored. Every row whose
// other two coordinates lie in the same leaf-block column as the voxel's (the
// same coordinates divided by 8) crosses the same cells, so the stretches
// serve all 64 rows of the column; each row reads its own bits from the leaf
// blocks (row_bits).
//
// A subdivided child whose node or leaf block is missing counts as clear.
void collect_row_spans(const VoxelGrid& grid, const uint32_t voxel[3], uint32_t axis, uint32_t begin, uint32_t end,
                       std::vector<RowSpan>& spans);
