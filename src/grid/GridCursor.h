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
// The cursor keeps its place from row to row: the nodes found by the last
// seek and the leaf blocks it crossed lately are used again without a
// look-up when the next row (of a box, of a sweep) comes by them. It holds pointers into the grid, so it must
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
    // Sets the node of `level` (below L) containing the position, looking it
    // up in the grid only when it is neither the one the path already holds
    // nor the one the last seek found.
    void look_up_node(uint32_t level);
    // Sets the leaf block containing the position, from the recently used
    // ones when it is among them, and reads the row's bits in it.
    void look_up_leaf();
    // Keeps the nodes found by a seek, for the next seek nearby.
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
    uint32_t leaf_bits_ = 0;  // the row's 8 voxels in the leaf block
    // The cell (position divided by the cell's side) of every node of the
    // path, levels 1 .. L - 1; and the same for the path of the last seek,
    // kept so that the next row's seek finds its nodes without a look-up.
    static constexpr uint32_t kNoCell = 0xFFFFFFFFu;
    uint32_t path_cells_[kMaxLevels][3];
    uint32_t seek_cells_[kMaxLevels][3];
    const GridNode* seek_nodes_[kMaxLevels] = {};
    // Recently used leaf blocks by cell: the next rows of a box cross the
    // same blocks as the row before, and find them here.
    struct LeafSlot {
        uint32_t cell[3];
        const LeafBlock* leaf;
    };
    static constexpr uint32_t kLeafSlots = 32;
    LeafSlot leaf_slots_[kLeafSlots];
    uint32_t leaf_level_;
    uint32_t depth_ = 0;
    bool solid_ = false;
    uint32_t position_[3] = {};
    uint32_t end_[3] = {};
    uint32_t axis_ = 0;
};
