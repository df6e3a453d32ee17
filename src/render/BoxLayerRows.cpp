#include "render/BoxLayerRows.h"

namespace {

// The 8 x 8 bit matrix in x transposed: bit 8r + c goes to bit 8c + r.
uint64_t transpose8(uint64_t x) {
    uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x ^= t ^ (t << 28);
    return x;
}

// The rows along z of a leaf block at its y index cy: byte cx holds the
// voxels (cx, cy, 0 .. 7), bit cz for each.
uint64_t z_rows(const LeafBlock& leaf, uint32_t cy) {
    // Byte cz of `gathered` is the row along x at (cy, cz).
    uint64_t gathered = 0;
    for (uint32_t cz = 0; cz < 8; ++cz) {
        const uint64_t layer = leaf.bits.words[2 * cz] | uint64_t(leaf.bits.words[2 * cz + 1]) << 32;
        gathered |= ((layer >> (8 * cy)) & 0xFFu) << (8 * cz);
    }
    return transpose8(gathered);
}

}  // namespace

BoxLayerRows::BoxLayerRows(const VoxelGrid& grid, const IntBox& box)
    : grid_(grid), box_(box), first_z_(box.z0 & ~7u) {
    words_per_row_ = (box.z1 - first_z_) / 64 + 1;
    first_block_x_ = box.x0 >> 3;
    block_columns_ = (box.x1 >> 3) - first_block_x_ + 1;
    block_depth_ = (box.z1 >> 3) - (box.z0 >> 3) + 1;
    blocks_.resize(size_t(block_columns_) * block_depth_);
}

void BoxLayerRows::look_up_blocks(uint32_t block_y) {
    block_y_ = block_y;
    const uint32_t y = block_y << 3;
    for (uint32_t i = 0; i < block_columns_; ++i) {
        const uint32_t x = (first_block_x_ + i) << 3;
        for (uint32_t k = 0; k < block_depth_; ++k) {
            const uint32_t z = first_z_ + (k << 3);
            Block& block = blocks_[size_t(i) * block_depth_ + k];
            block.leaf = grid_.find_leaf(x, y, z);
            block.solid = block.leaf == nullptr && grid_.cell_state(x, y, z, grid_.leaf_level()) == CellState::Solid;
        }
    }
}

void BoxLayerRows::read(uint32_t y, std::vector<uint64_t>& rows) {
    if (y >> 3 != block_y_) look_up_blocks(y >> 3);
    const uint32_t width = box_.x1 - box_.x0 + 1;
    rows.assign(size_t(width) * words_per_row_, 0);
    for (uint32_t i = 0; i < block_columns_; ++i) {
        const uint32_t block_x = (first_block_x_ + i) << 3;
        const uint32_t cx_first = block_x < box_.x0 ? box_.x0 - block_x : 0;
        const uint32_t cx_last = block_x + 7 > box_.x1 ? box_.x1 - block_x : 7;
        for (uint32_t k = 0; k < block_depth_; ++k) {
            const Block& block = blocks_[size_t(i) * block_depth_ + k];
            const uint64_t columns = block.leaf ? z_rows(*block.leaf, y & 7u) : block.solid ? ~uint64_t(0) : 0;
            if (columns == 0) continue;
            const uint32_t word = k >> 3, shift = (k & 7u) << 3;
            for (uint32_t cx = cx_first; cx <= cx_last; ++cx) {
                rows[size_t(block_x + cx - box_.x0) * words_per_row_ + word] |= ((columns >> (8 * cx)) & 0xFFu) << shift;
            }
        }
    }
    // Clear what lies past the box's highest z.
    const uint32_t last_bit = box_.z1 - first_z_;  // within the last word
    const uint32_t keep = last_bit % 64;
    if (keep != 63) {
        const uint64_t mask = (uint64_t(2) << keep) - 1;
        for (uint32_t x = 0; x < width; ++x) rows[size_t(x) * words_per_row_ + words_per_row_ - 1] &= mask;
    }
}
