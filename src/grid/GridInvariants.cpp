#include "grid/GridInvariants.h"

#include <type_traits>
#include <unordered_map>
#include <vector>

#include "grid/VoxelGrid.h"

namespace {

// Keys are mixed before hashing so that keys crafted to share a bucket of the
// standard hash table cannot make the check quadratic.
struct MixedKeyHash {
    size_t operator()(uint64_t key) const {
        key += 0x9E3779B97F4A7C15ull;
        key = (key ^ (key >> 30)) * 0xBF58476D1CE4E5B9ull;
        key = (key ^ (key >> 27)) * 0x94D049BB133111EBull;
        return static_cast<size_t>(key ^ (key >> 31));
    }
};

// The nodes of one level by key (null values for leaf blocks, which have no
// children to look at).
using LevelIndex = std::unordered_map<uint64_t, const GridNode*, MixedKeyHash>;

// Key rules for one entry of the level `level` map stored in bucket `bucket`.
template <typename Value>
const char* find_key_fault(const VoxelGrid& grid, uint32_t level, uint32_t bucket, CellKey key) {
    const uint32_t blocks_per_side = grid.side() >> 3;
    if (key.block_x() >= blocks_per_side || key.block_y() >= blocks_per_side ||
        key.block_z() >= blocks_per_side) {
        return "A node or leaf block lies outside the grid.";
    }
    const uint32_t cell_blocks_mask = (uint32_t(1) << 3 * (grid.leaf_level() - level)) - 1;
    if ((key.block_x() | key.block_y() | key.block_z()) & cell_blocks_mask) {
        return "A node key is not aligned to the cell of its level.";
    }
    if (CellMap<Value>::bucket_of(key) != bucket) return "A node or leaf block is stored in the wrong bucket.";
    return nullptr;
}

// Checks the keys and counts of one map and indexes its entries.
template <typename Value>
const char* index_level(const VoxelGrid& grid, const CellMap<Value>& map, LevelIndex& index) {
    index.reserve(map.size());
    uint32_t seen = 0;
    for (uint32_t b = 0; b < map.bucket_count(); ++b) {
        for (const auto& entry : map.bucket(b)) {
            if (const char* fault = find_key_fault<Value>(grid, map.level(), b, entry.key)) return fault;
            const GridNode* node = nullptr;
            if constexpr (std::is_same<Value, GridNode>::value) node = &entry.value;
            if (!index.emplace(entry.key.value(), node).second) {
                return "A node or leaf block appears twice in one level.";
            }
            ++seen;
        }
    }
    if (seen != map.size()) return "A level's entry count does not match its entries.";
    return nullptr;
}

// Every entry of `level` must hang from a Subdivided child of its parent.
const char* find_orphan(const VoxelGrid& grid, uint32_t level, const LevelIndex& entries,
                        const LevelIndex& parents) {
    for (const auto& item : entries) {
        const CellKey key{uint32_t(item.first >> 32), uint32_t(item.first)};
        const uint32_t x = key.block_x() << 3, y = key.block_y() << 3, z = key.block_z() << 3;
        const GridNode* parent = &grid.root();
        if (level > 1) {
            const auto found = parents.find(grid.key_of(x, y, z, level - 1).value());
            if (found == parents.end()) return "A node or leaf block has no parent node.";
            parent = found->second;
        }
        if (!parent->subdivided.test(grid.child_index(x, y, z, level - 1))) {
            return "A node or leaf block hangs from a child that is not subdivided.";
        }
    }
    return nullptr;
}

// With every entry hanging from a distinct Subdivided child, equal counts
// mean that every Subdivided child has its entry.
uint64_t subdivided_children(const VoxelGrid& grid, uint32_t level) {
    if (level == 0) return grid.root().subdivided.count();
    uint64_t total = 0;
    grid.node_map(level).for_each([&](const NodeMap::Entry& e) { total += e.value.subdivided.count(); });
    return total;
}

uint32_t entry_count(const VoxelGrid& grid, uint32_t level) {
    return level == grid.leaf_level() ? grid.leaf_map().size() : grid.node_map(level).size();
}

}  // namespace

const char* find_grid_fault(const VoxelGrid& grid) {
    const uint32_t leaf_level = grid.leaf_level();
    std::vector<LevelIndex> index(leaf_level + 1);  // index[0] stays empty: the root
    for (uint32_t level = 1; level < leaf_level; ++level) {
        if (const char* fault = index_level(grid, grid.node_map(level), index[level])) return fault;
    }
    if (const char* fault = index_level(grid, grid.leaf_map(), index[leaf_level])) return fault;
    for (uint32_t level = 1; level <= leaf_level; ++level) {
        if (const char* fault = find_orphan(grid, level, index[level], index[level - 1])) return fault;
        if (subdivided_children(grid, level - 1) != entry_count(grid, level)) {
            return "A subdivided child has no node or leaf block below it.";
        }
    }
    return nullptr;
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
