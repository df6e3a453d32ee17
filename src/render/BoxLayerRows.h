#pragma once

#include <cstdint>
#include <vector>

#include "grid/IntBox.h"
#include "grid/VoxelGrid.h"

// Reads a box of the grid layer by layer (one y at a time) as rows along z
// held as bit masks: bit k of the row at x is voxel (x, y, first_z() + k),
// where first_z() is the box's lowest z rounded down to a leaf block. Each
// leaf block is looked up once per eight layers and its rows are taken out
// eight at a time. The grid must not change while a reader is in use.
class BoxLayerRows {
public:
    // The box must fit within the grid.
    BoxLayerRows(const VoxelGrid& grid, const IntBox& box);

    uint32_t first_z() const { return first_z_; }
    uint32_t words_per_row() const { return words_per_row_; }

    // Fills `rows` with the rows of layer y, words_per_row() words for each
    // x of the box from x0 on. Bits past the box's highest z are clear.
    void read(uint32_t y, std::vector<uint64_t>& rows);

private:
    // A leaf block of the box's current block layer: uniform or its bits.
    struct Block {
        const LeafBlock* leaf;  // null: uniform, `solid` says which
        bool solid;
    };
    void look_up_blocks(uint32_t block_y);

    const VoxelGrid& grid_;
    IntBox box_;
    uint32_t first_z_;
    uint32_t words_per_row_;
    uint32_t first_block_x_, block_columns_, block_depth_;
    uint32_t block_y_ = 0xFFFFFFFFu;  // the block layer `blocks_` holds
    std::vector<Block> blocks_;        // by (block x - first) * block_depth_ + block z - first
};
