#pragma once

#include <cstdint>

#include "grid/VoxelGrid.h"

// Walks one row of voxels along an axis and reports where solidity changes,
// stepping over every wholly solid or wholly clear cell of the hierarchy in
// one test; inside a leaf block the row's 8 voxels are tested at once.
//
// The row ends (exclusive, one per axis) are set once, usually to one past
// the upper corner of a box. seek() places the cursor on a voxel and an axis;
// next_transition() then moves along that axis up to the row's end.
//
// The cursor keeps its path through the hierarchy from row to row: a seek
// near the previous one (the next row of a box, usually in the same leaf
// block) looks nothing up again. It holds pointers into the grid, so it must
// not be used across an edit of the grid (set_voxel, clear_voxel or any map
// insert or removal), not even through a new seek: make a new cursor.
class GridCursor {
public:
    // Ends beyond the grid's side are clamped to it.
    GridCursor(const VoxelGrid& grid, uint32_t end_x, uint32_t end_y, uint32_t end_z);

    // Places the cursor on voxel (x, y, z), to travel along `axis` (0 = x,
    // 1 = y, 2 = z), and reads the voxel's solidity.
    void seek(uint32_t x, uint32_t y, uint32_t z, uint32_t axis);

    // The solidity at the current position: of the voxel after seek, of the
    // transition voxel after next_transition.
    bool solidity() const { return solid_; }

    // Moves to the first voxel after the current position, before the row's
    // end, whose solidity differs from solidity(), and returns its coordinate
    // along the axis; solidity() then gives the new value. Returns 0 when the
    // row ends first (a transition always lies after the row's start, so it
    // is never 0), and keeps returning 0 until the next seek.
    uint32_t next_transition();

private:
    static constexpr uint32_t kMaxLevels = static_cast<uint32_t>(VoxelGrid::kMaxLevels);

    // The child index at `level` (level L: the voxel in its leaf block).
    ChildIndex child_at(uint32_t level) const;
    // Side in voxels of a child of a node of `level`.
    uint32_t child_side(uint32_t level) const { return 1u << (3 * (leaf_level_ - level)); }
    // Recomputes the index of `level` along every axis from the position.
    void index_from_position(uint32_t level, uint32_t axis);
    // Goes down from depth_ while the child at the position is subdivided,
    // looking up each node (and finally the leaf block) on the way.
    void descend();
    // Sets the node of `level` (the leaf block at level L) containing the
    // position, looking it up in the grid only when it is neither the one the
    // path already holds nor the one the last seek found.
    void look_up(uint32_t level);
    // Keeps the path found by a seek, for the next seek nearby.
    void remember_seek_path();
    // Moves to the first voxel of the next cell of depth_ along the axis.
    void step_past_cell();
    // After the index of depth_ ran past 7: moves up to the first ancestor
    // with a next child along the axis, and down into that child.
    void move_to_next_node();
    // Tests the cells of the current node (or voxels of the current leaf
    // block) from the current index on. Returns true with `found` set when a
    // transition or the row's end is reached; false when the node ran out or
    // a subdivided child was entered, so the walk must go on.
    bool scan_leaf(uint32_t& found);
    bool scan_node(uint32_t& found);

    const VoxelGrid& grid_;
    const GridNode* nodes_[kMaxLevels] = {};       // levels 0 .. L - 1
    uint32_t index_[kMaxLevels][3] = {};           // levels 0 .. L, by axis
    const LeafBlock* leaf_ = nullptr;
    // The cell (position divided by the cell's side) of every node of the
    // path and of the leaf block, levels 1 .. L; and the same for the path
    // of the last seek, kept so that the next row's seek, usually in the same
    // leaf block, finds it without a look-up.
    static constexpr uint32_t kNoCell = 0xFFFFFFFFu;
    uint32_t path_cells_[kMaxLevels + 1][3];
    uint32_t seek_cells_[kMaxLevels + 1][3];
    const GridNode* seek_nodes_[kMaxLevels] = {};
    const LeafBlock* seek_leaf_ = nullptr;
    uint32_t leaf_level_;
    uint32_t depth_ = 0;
    bool solid_ = false;
    uint32_t position_[3] = {};
    uint32_t end_[3] = {};
    uint32_t axis_ = 0;
};
