#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include "grid/CellKey.h"
#include "grid/GridNode.h"
#include "grid/LeafBlock.h"
#include "grid/VoxelChangeObserver.h"
#include "grid/VoxelGrid.h"
#include "grid/VoxelPosition.h"

// One map entry as it stood: absent, or present with its value and its
// insertion stamp (which fixes its place in the saved file).
template <typename Value>
struct EntryState {
    bool present = false;
    uint64_t stamp = 0;
    Value value{};

    bool operator==(const EntryState& other) const {
        return present == other.present && (!present || (stamp == other.stamp && value == other.value));
    }
};

template <typename Value>
struct EntryChange {
    CellKey key;
    uint32_t level = 0;
    EntryState<Value> before;
    EntryState<Value> after;
};

// One undoable step. Edits store the entries they touched, before and after
// (the root's planes, each node and leaf block on the path of a changed
// voxel); a grid replacement stores the whole other grid, which the undo and
// the redo swap with the world's.
struct EditStep {
    uint64_t before_state = 0;
    uint64_t after_state = 0;
    size_t bytes = 0;

    GridNode root_before;
    GridNode root_after;
    std::vector<EntryChange<GridNode>> nodes;
    std::vector<EntryChange<LeafBlock>> leaves;
    // Every leaf block cell whose voxels may differ between the two states.
    std::vector<CellKey> cells;

    std::unique_ptr<VoxelGrid> other_grid;
    uint32_t other_boundary_flag = 0;
    uint32_t other_twice_centre[3] = {0, 0, 0};

    bool replaces_grid() const { return other_grid != nullptr; }
};

// The voxels a restored step changed, as the surface upkeep needs them.
struct RestoredVoxels {
    std::vector<VoxelPosition> added;
    std::vector<VoxelPosition> removed;
};

// Puts the entries of a block step back as they were before it (or after
// it) and lists the voxels that changed.
RestoredVoxels restore_step(VoxelGrid& grid, const EditStep& step, bool to_before);

// Bytes a grid holds, for the history's budget.
size_t grid_memory_bytes(const VoxelGrid& grid);

// The undo and redo steps of one world, bounded by a memory budget, and the
// state number that names the grid's contents.
//
// A step opens at the first voxel change reported by the grid (the history
// observes it) and closes at end_step; on first touch within the step it
// keeps the old state of every entry on the changed voxel's path, and at
// the close their new state. A closed step that left every entry as it was
// is dropped. Committing a step drops the redo steps.
//
// The state number takes a value never used before at every note_change
// (each edit that changed voxels), and at a commit that had none (a direct
// change to the grid) or replaces the grid; a step that ends with every
// entry as it was gives back the number it began with, and undo and redo set
// the number the restored contents had. So equal numbers mean equal grids.
class EditHistory : public VoxelChangeObserver {
public:
    static constexpr size_t kDefaultBudget = size_t(256) << 20;

    void before_voxel_change(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) override;

    // Closes the open step, if any.
    void end_step(const VoxelGrid& grid);
    // Records a grid replacement as a step of its own: `replaced` is the grid
    // that was current before. No step may be open.
    void record_replacement(std::unique_ptr<VoxelGrid> replaced, uint32_t boundary_flag,
                            const uint32_t twice_centre[3]);

    // An edit changed voxels: the state takes a new number.
    void note_change();

    bool step_open() const { return open_; }
    size_t undo_count() const { return undo_.size(); }
    size_t redo_count() const { return redo_.size(); }
    uint64_t state() const { return state_; }
    size_t bytes() const { return bytes_; }

    // The step undo (or redo) would apply next, or null. No step may be open.
    EditStep* next_undo() { return undo_.empty() ? nullptr : &undo_.back(); }
    EditStep* next_redo() { return redo_.empty() ? nullptr : &redo_.back(); }
    // After the caller applied next_undo (next_redo): moves it to the other
    // list and sets the state number.
    void finish_undo();
    void finish_redo();

    // The most memory the steps may hold; the oldest go first, but the last
    // one stays even when it alone is larger.
    void set_budget(size_t bytes);
    size_t budget() const { return budget_; }

private:
    void open(const VoxelGrid& grid);
    void commit(EditStep step);
    void move_last_step(std::deque<EditStep>& from, std::deque<EditStep>& to);
    void trim();
    static size_t measure(const EditStep& step);

    std::deque<EditStep> undo_;
    std::deque<EditStep> redo_;
    size_t bytes_ = 0;
    size_t budget_ = kDefaultBudget;
    uint64_t state_ = 0;
    uint64_t issued_ = 0;

    bool open_ = false;
    EditStep step_;
    std::vector<std::unordered_set<uint64_t>> touched_;  // by level, 1 .. L
    CellKey last_cell_;
};
