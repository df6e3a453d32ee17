#include "grid/GridCursor.h"

#include <algorithm>

#include "grid/RowBits.h"

GridCursor::GridCursor(const VoxelGrid& grid, uint32_t end_x, uint32_t end_y, uint32_t end_z)
    : grid_(grid), leaf_level_(grid.leaf_level()) {
    // With the ends inside the grid, a row always stops before it would run
    // off the root node.
    const uint32_t side = grid.side();
    end_[0] = std::min(end_x, side);
    end_[1] = std::min(end_y, side);
    end_[2] = std::min(end_z, side);
    nodes_[0] = &grid.root();
    std::fill(&path_cells_[0][0], &path_cells_[0][0] + 3 * kMaxLevels, kNoCell);
    std::fill(&seek_cells_[0][0], &seek_cells_[0][0] + 3 * kMaxLevels, kNoCell);
    for (LeafSlot& slot : leaf_slots_) std::fill(slot.cell, slot.cell + 3, kNoCell);
}

ChildIndex GridCursor::child_at(uint32_t level) const {
    return ChildIndex{index_[level][0], index_[level][1], index_[level][2]};
}

void GridCursor::index_from_position(uint32_t level, uint32_t axis) {
    const uint32_t shift = 3 * (leaf_level_ - level);
    index_[level][axis] = (position_[axis] >> shift) & 7u;
}

void GridCursor::seek(uint32_t x, uint32_t y, uint32_t z, uint32_t axis) {
    position_[0] = x;
    position_[1] = y;
    position_[2] = z;
    axis_ = axis;
    for (uint32_t a = 0; a < 3; ++a) index_from_position(0, a);
    depth_ = 0;
    descend();
    remember_seek_path();
    if (depth_ == leaf_level_) {
        solid_ = (leaf_bits_ >> index_[leaf_level_][axis]) & 1u;
    } else {
        solid_ = nodes_[depth_]->child_solid(child_at(depth_));
    }
}

void GridCursor::descend() {
    while (depth_ < leaf_level_ && nodes_[depth_]->subdivided.test(child_at(depth_))) {
        ++depth_;
        for (uint32_t a = 0; a < 3; ++a) index_from_position(depth_, a);
        if (depth_ < leaf_level_) {
            look_up_node(depth_);
        } else {
            look_up_leaf();
        }
    }
}

void GridCursor::look_up_node(uint32_t level) {
    // A node's cell is 8 of its children a side.
    const uint32_t shift = 3 * (leaf_level_ - level + 1);
    const uint32_t cell[3] = {position_[0] >> shift, position_[1] >> shift, position_[2] >> shift};
    auto same_cell = [&cell](const uint32_t (&other)[3]) {
        return cell[0] == other[0] && cell[1] == other[1] && cell[2] == other[2];
    };
    if (same_cell(path_cells_[level])) return;
    std::copy(cell, cell + 3, path_cells_[level]);
    if (same_cell(seek_cells_[level])) {
        nodes_[level] = seek_nodes_[level];
        return;
    }
    // A subdivided child always has its node or leaf block one level down;
    // the grid and the file loader keep that so.
    nodes_[level] = grid_.find_node(position_[0], position_[1], position_[2], level);
}

void GridCursor::look_up_leaf() {
    const uint32_t cell[3] = {position_[0] >> 3, position_[1] >> 3, position_[2] >> 3};
    // Consecutive blocks along any axis fall into different slots.
    LeafSlot& slot = leaf_slots_[(cell[0] + cell[1] + cell[2]) % kLeafSlots];
    if (slot.cell[0] != cell[0] || slot.cell[1] != cell[1] || slot.cell[2] != cell[2]) {
        std::copy(cell, cell + 3, slot.cell);
        slot.leaf = grid_.find_leaf(position_[0], position_[1], position_[2]);
    }
    leaf_ = slot.leaf;
    leaf_bits_ = row_bits(leaf_->bits, child_at(leaf_level_), axis_);
}

void GridCursor::remember_seek_path() {
    for (uint32_t level = 1; level <= depth_ && level < leaf_level_; ++level) {
        std::copy(path_cells_[level], path_cells_[level] + 3, seek_cells_[level]);
        seek_nodes_[level] = nodes_[level];
    }
}

void GridCursor::step_past_cell() {
    uint32_t& position = position_[axis_];
    if (depth_ == leaf_level_) {
        ++position;
    } else {
        const uint32_t side = child_side(depth_);
        position = (position & ~(side - 1)) + side;
    }
    ++index_[depth_][axis_];
}

void GridCursor::move_to_next_node() {
    for (uint32_t level = depth_; level > 0;) {
        --level;
        if (++index_[level][axis_] < 8) {
            depth_ = level;
            descend();
            return;
        }
        index_[level][axis_] = 0;
    }
}

bool GridCursor::scan_leaf(uint32_t& found) {
    uint32_t& position = position_[axis_];
    uint32_t& index = index_[leaf_level_][axis_];
    if (index >= 8) return false;
    const uint32_t end = end_[axis_];
    if (position >= end) {
        found = 0;
        return true;
    }
    // The block's voxels from the index on, up to the row's end, in one mask.
    const uint32_t stop = end - position >= 8 - index ? 8 : index + (end - position);
    const uint32_t differing = (solid_ ? ~leaf_bits_ : leaf_bits_) & bit_range(index, stop);
    if (differing != 0) {
        const uint32_t i = static_cast<uint32_t>(__builtin_ctz(differing));
        position += i - index;
        index = i;
        solid_ = !solid_;
        found = position;
        return true;
    }
    position += stop - index;
    index = stop;
    if (stop < 8) {
        found = 0;
        return true;
    }
    return false;
}

bool GridCursor::scan_node(uint32_t& found) {
    const GridNode& node = *nodes_[depth_];
    const uint32_t side = child_side(depth_);
    uint32_t& position = position_[axis_];
    uint32_t& index = index_[depth_][axis_];
    for (; index < 8; ++index, position += side) {
        if (position >= end_[axis_]) {
            found = 0;
            return true;
        }
        const ChildIndex child = child_at(depth_);
        if (node.subdivided.test(child)) {
            descend();
            return false;
        }
        const bool solid = node.solid.test(child);
        if (solid != solid_) {
            solid_ = solid;
            found = position;
            return true;
        }
    }
    return false;
}

uint32_t GridCursor::next_transition() {
    step_past_cell();
    for (;;) {
        uint32_t found = 0;
        const bool done = depth_ == leaf_level_ ? scan_leaf(found) : scan_node(found);
        if (done) return found;
        // Either a subdivided child was entered (its index is below 8 and the
        // scan goes on inside it) or the current node ran out.
        if (index_[depth_][axis_] >= 8) {
            if (position_[axis_] >= end_[axis_]) return 0;
            move_to_next_node();
        }
    }
}
