#include "grid/GridInvariants.h"

#include "grid/VoxelGrid.h"

const char* find_key_fault(const VoxelGrid& grid, uint32_t level, CellKey key) {
    const uint32_t blocks_per_side = grid.side() >> 3;
    if (key.block_x() >= blocks_per_side || key.block_y() >= blocks_per_side ||
        key.block_z() >= blocks_per_side) {
        return "A node or leaf block lies outside the grid.";
    }
    const uint32_t cell_blocks_mask = (uint32_t(1) << 3 * (grid.leaf_level() - level)) - 1;
    if ((key.block_x() | key.block_y() | key.block_z()) & cell_blocks_mask) {
        return "A node key is not aligned to the cell of its level.";
    }
    return nullptr;
}

const char* find_parent_fault(const VoxelGrid& grid, uint32_t level, CellKey key) {
    const uint32_t x = key.block_x() << 3, y = key.block_y() << 3, z = key.block_z() << 3;
    const GridNode* parent = &grid.root();
    if (level > 1) {
        parent = VoxelGrid::find_entry(grid.node_map(level - 1), grid.key_of(x, y, z, level - 1));
        if (parent == nullptr) return "A node or leaf block has no parent node.";
    }
    if (!parent->subdivided.test(grid.child_index(x, y, z, level - 1))) {
        return "A node or leaf block hangs from a child that is not subdivided.";
    }
    return nullptr;
}

namespace {

// Keys, duplicates and parents of every entry of one map. With every entry
// hanging from a distinct Subdivided child, a count of entries equal to the
// count of Subdivided children above means that each of those has its entry.
template <typename Value>
const char* find_level_fault(const VoxelGrid& grid, const CellMap<Value>& map, uint64_t subdivided_above) {
    const char* fault = nullptr;
    for (uint32_t i = 0; i < map.size() && fault == nullptr; ++i) {
        const CellKey key = map.entry_at(i).key;
        fault = find_key_fault(grid, map.level(), key);
        if (fault == nullptr && map.index_of(key) != i) fault = GridFaultText::kDuplicate;
        if (fault == nullptr) fault = find_parent_fault(grid, map.level(), key);
    }
    if (fault == nullptr && subdivided_above != map.size()) fault = GridFaultText::kMissingChild;
    return fault;
}

uint64_t subdivided_children(const VoxelGrid& grid, uint32_t level) {
    if (level == 0) return grid.root().subdivided.count();
    uint64_t total = 0;
    grid.node_map(level).for_each([&](const NodeMap::Entry& e) { total += e.value.subdivided.count(); });
    return total;
}

}  // namespace

const char* find_grid_fault(const VoxelGrid& grid) {
    const uint32_t leaf_level = grid.leaf_level();
    for (uint32_t level = 1; level < leaf_level; ++level) {
        const uint64_t above = subdivided_children(grid, level - 1);
        if (const char* fault = find_level_fault(grid, grid.node_map(level), above)) return fault;
    }
    const uint64_t above = subdivided_children(grid, leaf_level - 1);
    if (const char* fault = find_level_fault(grid, grid.leaf_map(), above)) return fault;
    return find_uniform_cell(grid);
}

const char* find_uniform_cell(const VoxelGrid& grid) {
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) {
        const char* fault = nullptr;
        grid.node_map(level).for_each([&](const NodeMap::Entry& e) {
            if (e.value.is_uniform(true) || e.value.is_uniform(false)) fault = "A node is wholly solid or clear.";
        });
        if (fault) return fault;
    }
    const char* fault = nullptr;
    grid.leaf_map().for_each([&](const LeafMap::Entry& e) {
        if (e.value.bits.is_all_ones() || e.value.bits.is_all_zeros()) fault = "A leaf block is wholly solid or clear.";
    });
    return fault;
}
