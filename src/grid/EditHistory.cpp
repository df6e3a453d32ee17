#include "grid/EditHistory.h"

#include <algorithm>
#include <utility>

#include "grid/VoxelGrid.h"

namespace {

template <typename Value>
EntryState<Value> state_of(const CellMap<Value>& map, CellKey key) {
    EntryState<Value> state;
    if (const auto* entry = map.find_entry(key)) {
        state.present = true;
        state.stamp = entry->stamp;
        state.value = entry->value;
    }
    return state;
}

// Makes the map's entry for `key` match `target`. An entry kept with the same
// stamp is overwritten in place; otherwise it is taken out and the target
// put back with its stamp, so the file order is the one it had.
template <typename Value>
void apply(CellMap<Value>& map, CellKey key, const EntryState<Value>& target) {
    const uint32_t index = map.index_of(key);
    if (index != CellMap<Value>::kNone) {
        auto& entry = map.entry_at(index);
        if (target.present && entry.stamp == target.stamp) {
            entry.value = target.value;
            return;
        }
        map.remove_at(index);
    }
    if (target.present) map.insert_with_stamp(key, target.value, target.stamp);
}

// The 512 voxels of a leaf block cell: its block, or the uniform state its
// ancestors give it.
BitPlane cell_voxels(const VoxelGrid& grid, CellKey cell) {
    if (const LeafBlock* leaf = grid.leaf_map().find(cell)) return leaf->bits;
    const CellState state = grid.cell_state(cell.block_x() << 3, cell.block_y() << 3, cell.block_z() << 3,
                                            grid.leaf_level());
    return BitPlane::filled(state == CellState::Solid);
}

template <typename Value>
void erase_unchanged(std::vector<EntryChange<Value>>& changes) {
    changes.erase(std::remove_if(changes.begin(), changes.end(),
                                 [](const EntryChange<Value>& c) { return c.before == c.after; }),
                  changes.end());
}

}  // namespace

size_t grid_memory_bytes(const VoxelGrid& grid) {
    size_t total = sizeof(VoxelGrid) + grid.leaf_map().memory_bytes();
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) total += grid.node_map(level).memory_bytes();
    return total;
}

RestoredVoxels restore_step(VoxelGrid& grid, const EditStep& step, bool to_before) {
    std::vector<BitPlane> was;
    was.reserve(step.cells.size());
    for (CellKey cell : step.cells) was.push_back(cell_voxels(grid, cell));

    grid.root() = to_before ? step.root_before : step.root_after;
    for (const EntryChange<GridNode>& c : step.nodes) apply(grid.node_map(c.level), c.key, to_before ? c.before : c.after);
    for (const EntryChange<LeafBlock>& c : step.leaves) apply(grid.leaf_map(), c.key, to_before ? c.before : c.after);

    RestoredVoxels voxels;
    for (size_t i = 0; i < step.cells.size(); ++i) {
        const CellKey cell = step.cells[i];
        const BitPlane now = cell_voxels(grid, cell);
        const uint32_t x0 = cell.block_x() << 3, y0 = cell.block_y() << 3, z0 = cell.block_z() << 3;
        for (uint32_t w = 0; w < BitPlane::kWordCount; ++w) {
            for (uint32_t diff = was[i].words[w] ^ now.words[w]; diff != 0; diff &= diff - 1) {
                const uint32_t n = 32 * w + static_cast<uint32_t>(__builtin_ctz(diff));
                const VoxelPosition p{x0 + (n & 7u), y0 + (n >> 3 & 7u), z0 + (n >> 6)};
                (now.words[w] >> (n & 31u) & 1u ? voxels.added : voxels.removed).push_back(p);
            }
        }
    }
    return voxels;
}

void EditHistory::open(const VoxelGrid& grid) {
    open_ = true;
    step_ = EditStep{};
    step_.before_state = state_;
    step_.root_before = grid.root();
    touched_.assign(grid.leaf_level() + 1, {});
}

void EditHistory::before_voxel_change(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
    const uint32_t leaf_level = grid.leaf_level();
    const CellKey cell = grid.key_of(x, y, z, leaf_level);
    if (open_ && cell == last_cell_) return;
    if (!open_) open(grid);
    last_cell_ = cell;
    if (!touched_[leaf_level].insert(cell.value()).second) return;
    // The first change in this cell: its path's entries still hold their
    // state from before the step, since only changes inside a cell touch it.
    step_.cells.push_back(cell);
    for (uint32_t level = 1; level < leaf_level; ++level) {
        const CellKey key = grid.key_of(x, y, z, level);
        if (!touched_[level].insert(key.value()).second) continue;
        step_.nodes.push_back(EntryChange<GridNode>{key, level, state_of(grid.node_map(level), key), {}});
    }
    step_.leaves.push_back(EntryChange<LeafBlock>{cell, leaf_level, state_of(grid.leaf_map(), cell), {}});
}

void EditHistory::end_step(const VoxelGrid& grid) {
    if (!open_) return;
    open_ = false;
    touched_.clear();
    EditStep step = std::move(step_);
    step_ = EditStep{};
    step.root_after = grid.root();
    for (auto& c : step.nodes) c.after = state_of(grid.node_map(c.level), c.key);
    for (auto& c : step.leaves) c.after = state_of(grid.leaf_map(), c.key);
    // A block that ends as it began keeps its voxels: its cell need not be
    // compared. An absent block may still have had its voxels changed by
    // its ancestors' bits.
    std::vector<CellKey> unchanged;
    for (const auto& c : step.leaves) {
        if (c.before.present && c.before == c.after) unchanged.push_back(c.key);
    }
    if (!unchanged.empty()) {
        std::unordered_set<uint64_t> drop;
        for (CellKey key : unchanged) drop.insert(key.value());
        step.cells.erase(std::remove_if(step.cells.begin(), step.cells.end(),
                                        [&](CellKey key) { return drop.count(key.value()) != 0; }),
                         step.cells.end());
    }
    erase_unchanged(step.nodes);
    erase_unchanged(step.leaves);
    if (step.nodes.empty() && step.leaves.empty() && step.root_before == step.root_after) {
        // Every entry is as it was: so is the grid.
        state_ = step.before_state;
        return;
    }
    step.nodes.shrink_to_fit();
    step.leaves.shrink_to_fit();
    step.cells.shrink_to_fit();
    commit(std::move(step));
}

void EditHistory::record_replacement(std::unique_ptr<VoxelGrid> replaced, uint32_t boundary_flag,
                                     const uint32_t twice_centre[3]) {
    EditStep step;
    step.before_state = state_;
    step.other_grid = std::move(replaced);
    step.other_boundary_flag = boundary_flag;
    std::copy(twice_centre, twice_centre + 3, step.other_twice_centre);
    commit(std::move(step));
}

void EditHistory::note_change() { state_ = ++issued_; }

void EditHistory::commit(EditStep step) {
    // A number taken by the step's last counted change names the contents
    // still; a step without one (a direct change to the grid) takes one now.
    if (step.replaces_grid() || state_ == step.before_state) state_ = ++issued_;
    step.after_state = state_;
    step.bytes = measure(step);
    for (const EditStep& dropped : redo_) bytes_ -= dropped.bytes;
    redo_.clear();
    bytes_ += step.bytes;
    undo_.push_back(std::move(step));
    trim();
}

void EditHistory::finish_undo() {
    state_ = undo_.back().before_state;
    move_last_step(undo_, redo_);
}

void EditHistory::finish_redo() {
    state_ = redo_.back().after_state;
    move_last_step(redo_, undo_);
}

// Moves the step just applied to the other list; its size is measured again,
// since applying it may have changed what it holds.
void EditHistory::move_last_step(std::deque<EditStep>& from, std::deque<EditStep>& to) {
    EditStep& step = from.back();
    bytes_ -= step.bytes;
    step.bytes = measure(step);
    bytes_ += step.bytes;
    to.push_back(std::move(step));
    from.pop_back();
    trim();
}

void EditHistory::set_budget(size_t bytes) {
    budget_ = bytes;
    trim();
}

// The oldest undo steps go first, then the redo steps furthest away.
void EditHistory::trim() {
    while (bytes_ > budget_ && undo_.size() + redo_.size() > 1) {
        std::deque<EditStep>& from = undo_.empty() ? redo_ : undo_;
        bytes_ -= from.front().bytes;
        from.pop_front();
    }
}

size_t EditHistory::measure(const EditStep& step) {
    size_t total = sizeof(EditStep) + step.nodes.capacity() * sizeof(step.nodes[0]) +
                   step.leaves.capacity() * sizeof(step.leaves[0]) + step.cells.capacity() * sizeof(CellKey);
    if (step.other_grid) total += grid_memory_bytes(*step.other_grid);
    return total;
}
