#pragma once

#include <cstdint>
#include <vector>

#include "grid/CellKey.h"
#include "grid/CellMap.h"
#include "grid/CellState.h"
#include "grid/GridNode.h"
#include "grid/LeafBlock.h"
#include "grid/VoxelChangeObserver.h"

using NodeMap = CellMap<GridNode>;
using LeafMap = CellMap<LeafBlock>;

// A cube of 8^levels voxels per side, each solid or clear, stored as a sparse
// hierarchy. The root (level 0) splits the cube into 8 x 8 x 8 children; a
// child that is wholly solid or wholly clear costs two bits in its parent,
// and only mixed children get a node one level down, in the map of that
// level. Level L = levels - 1 holds the leaf blocks, whose children are the
// voxels.
//
// Coordinates wrap: only their low 3 * levels bits are used.
//
// set_voxel and clear_voxel keep two invariants: a child is Subdivided exactly
// when the next level's map holds its entry, and no node or leaf block below
// the root is uniform (such a cell is collapsed into its parent's bits).
//
// Pointers and references to nodes and leaf blocks are invalidated by the
// next call that sets or clears a voxel or inserts or removes an entry.
//
// Lookups remember the path they took (one storage index per level), so a
// query or edit near the previous one finds its leaf block or nodes without
// hashing. The remembered indices are checked against the entry's key before
// use, so edits through the maps themselves never leave them stale. Because
// even const queries update them, a grid must not be read from two threads
// at once.
class VoxelGrid {
public:
    static constexpr long kMinLevels = 2;
    static constexpr long kMaxLevels = 8;

    // True for the level counts the grid can hold (2 to 8).
    static bool supports_levels(long levels);

    // A grid of `levels` levels, wholly solid or wholly clear. Throws
    // std::invalid_argument when supports_levels(levels) is false.
    VoxelGrid(long levels, bool solid);

    VoxelGrid(const VoxelGrid&) = delete;
    VoxelGrid& operator=(const VoxelGrid&) = delete;

    uint32_t leaf_level() const { return leaf_level_; }
    uint32_t levels() const { return leaf_level_ + 1; }
    // Voxels per side: 1 << (3 * levels).
    uint32_t side() const { return 1u << (3 * levels()); }

    bool get_voxel(uint32_t x, uint32_t y, uint32_t z) const {
        if (const LeafBlock* leaf = cached_leaf(x, y, z)) return leaf->bits.test(voxel_in_leaf(x, y, z));
        const UniformCell& u = last_uniform_;
        if ((x & u.mask) == u.x && (y & u.mask) == u.y && (z & u.mask) == u.z) {
            if (const GridNode* node = remembered_uniform_node()) return node->solid.test(u.child);
        }
        return get_voxel_walking(x, y, z);
    }
    // State of the cell of the given depth (1 = a child of the root, levels =
    // the voxel itself) that contains the voxel. Depths outside that range
    // are clamped into it.
    CellState cell_state(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const;

    // Makes the voxel solid; returns whether it was solid already.
    bool set_voxel(uint32_t x, uint32_t y, uint32_t z) {
        if (LeafBlock* leaf = cached_leaf(x, y, z)) return assign_in_leaf(*leaf, x, y, z, true);
        return assign_walking(x, y, z, true);
    }
    // Makes the voxel clear; returns whether it was solid before.
    bool clear_voxel(uint32_t x, uint32_t y, uint32_t z) {
        if (LeafBlock* leaf = cached_leaf(x, y, z)) return assign_in_leaf(*leaf, x, y, z, false);
        return assign_walking(x, y, z, false);
    }

    // The observer told before each voxel change through set_voxel or
    // clear_voxel (null: none). Changes made through the raw map calls or the
    // root are not reported.
    void set_change_observer(VoxelChangeObserver* observer) { observer_ = observer; }

    GridNode& root() { return root_; }
    const GridNode& root() const { return root_; }

    LeafBlock* find_leaf(uint32_t x, uint32_t y, uint32_t z);
    const LeafBlock* find_leaf(uint32_t x, uint32_t y, uint32_t z) const;
    // The node of the given level containing the voxel, or null. Level 0 is
    // the root; levels from L upwards hold no nodes and yield null.
    GridNode* find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level);
    const GridNode* find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const;

    // The map of an intermediate level, 1 <= level <= L - 1.
    NodeMap& node_map(uint32_t level) { return node_maps_[level - 1]; }
    const NodeMap& node_map(uint32_t level) const { return node_maps_[level - 1]; }
    LeafMap& leaf_map() { return leaf_map_; }
    const LeafMap& leaf_map() const { return leaf_map_; }

    // Key of the level `level` cell containing the voxel (level L: its leaf
    // block; level 0: the root, whose key is 0).
    CellKey key_of(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const;
    // Index of the voxel's child inside the level `level` node containing it
    // (level L: the voxel's place in its leaf block).
    ChildIndex child_index(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const;

    // Raw map access: appends without looking for an existing key, removes
    // the first entry with the key, finds the first entry with the key.
    static GridNode& insert_node(NodeMap& map, CellKey key, const GridNode& node);
    static LeafBlock& insert_leaf(LeafMap& map, CellKey key, const LeafBlock& bits);
    static bool remove_entry(NodeMap& map, CellKey key);
    static bool remove_entry(LeafMap& map, CellKey key);
    static GridNode* find_entry(NodeMap& map, CellKey key);
    static const GridNode* find_entry(const NodeMap& map, CellKey key);
    static LeafBlock* find_entry(LeafMap& map, CellKey key);
    static const LeafBlock* find_entry(const LeafMap& map, CellKey key);

private:
    static constexpr uint32_t kNoEntry = NodeMap::kNone;
    static constexpr uint32_t kLeafCacheSlots = 4096;

    static ChildIndex voxel_in_leaf(uint32_t x, uint32_t y, uint32_t z) { return ChildIndex{x & 7u, y & 7u, z & 7u}; }
    // A row of up to 256 leaf blocks along x, for 16 rows of blocks along y:
    // scans along x find the blocks of the previous rows again.
    static uint32_t leaf_cache_slot(uint32_t x, uint32_t y) { return ((x >> 3) & 255u) | ((y >> 3) & 15u) << 8; }

    // The leaf block holding the voxel when the leaf cache remembers it.
    LeafBlock* cached_leaf(uint32_t x, uint32_t y, uint32_t z) const {
        const uint32_t index = leaf_cache_[leaf_cache_slot(x, y)];
        if (index >= leaf_map_.size()) return nullptr;
        LeafMap::Entry& entry = const_cast<LeafMap&>(leaf_map_).entry_at(index);
        const uint32_t m = coordinate_mask_;
        return entry.key == CellKey::of_cell(x & m, y & m, z & m) ? &entry.value : nullptr;
    }

    // Sets or clears the voxel in its leaf block, whose index the leaf cache
    // holds; returns whether it was solid.
    bool assign_in_leaf(LeafBlock& leaf, uint32_t x, uint32_t y, uint32_t z, bool solid) {
        const uint32_t n = BitPlane::bit_number(voxel_in_leaf(x, y, z));
        uint32_t& word = leaf.bits.words[n >> 5];
        const uint32_t bit = 1u << (n & 31u);
        const bool was_solid = (word & bit) != 0;
        if (was_solid == solid) return was_solid;
        if (observer_) observer_->before_voxel_change(*this, x, y, z);
        word ^= bit;
        // Only a block whose changed word became uniform can be uniform.
        if (word == (solid ? BitPlane::kAllOnes : 0u)) collapse_if_uniform(leaf, x, y, z, solid);
        return was_solid;
    }

    // Where the voxel's path ends: the leaf block (level L), or the node of
    // `level` whose child holding the voxel is uniform.
    struct PathEnd {
        GridNode* node = nullptr;
        LeafBlock* leaf = nullptr;
        uint32_t level = 0;
    };
    PathEnd walk(uint32_t x, uint32_t y, uint32_t z) const;

    // The uniform cell in which the last walking query ended: its lowest
    // voxel (x, y, z), the mask that keeps a voxel's cell bits, and the
    // node and child holding it.
    struct UniformCell {
        uint32_t x = 1, y = 1, z = 1;  // matches nothing while mask is 0
        uint32_t mask = 0;
        uint32_t level = 0;
        CellKey node_key;
        ChildIndex child;
    };
    // The node of the last uniform cell when it is still there and its child
    // still uniform, else null.
    const GridNode* remembered_uniform_node() const {
        const UniformCell& u = last_uniform_;
        const GridNode* node = &root_;
        if (u.level > 0) {
            const uint32_t index = node_path_[u.level];
            const NodeMap& map = node_maps_[u.level - 1];
            if (index >= map.size() || map.entry_at(index).key != u.node_key) return nullptr;
            node = &map.entry_at(index).value;
        }
        return node->subdivided.test(u.child) ? nullptr : node;
    }
    bool get_voxel_walking(uint32_t x, uint32_t y, uint32_t z) const;
    bool assign_walking(uint32_t x, uint32_t y, uint32_t z, bool solid);
    // The entry of the node map with that key, trying the remembered index first.
    GridNode* remembered_node(uint32_t level, CellKey key) const;
    // The voxel's leaf block through the leaf cache, or by hashing (and then
    // remembered in the cache).
    LeafBlock* remembered_leaf(uint32_t x, uint32_t y, uint32_t z) const;
    // Removes the voxel's leaf block and collapses its ancestors when it is
    // uniform.
    void collapse_if_uniform(const LeafBlock& leaf, uint32_t x, uint32_t y, uint32_t z, bool solid);
    // Creates the nodes below `level` down to a leaf block, each uniform
    // (`filled`) but for the voxel's subdivided child, and returns the leaf.
    LeafBlock& refine_below(uint32_t x, uint32_t y, uint32_t z, uint32_t level, bool filled);
    // After the voxel's leaf block was removed as uniform, marks the voxel's
    // child `filled` level by level and removes every node that became
    // uniform with it.
    void collapse_above_leaf(uint32_t x, uint32_t y, uint32_t z, bool filled);

    uint32_t leaf_level_;
    uint32_t coordinate_mask_;  // side - 1
    GridNode root_;
    std::vector<NodeMap> node_maps_;  // levels 1 .. L - 1
    LeafMap leaf_map_;
    VoxelChangeObserver* observer_ = nullptr;
    // Remembered storage indices, checked against the entry's key before use:
    // the last node of each level (1 .. L - 1), and leaf blocks by the low
    // bits of their x and y block coordinates.
    mutable uint32_t node_path_[kMaxLevels] = {};
    mutable uint32_t leaf_cache_[kLeafCacheSlots];
    mutable UniformCell last_uniform_;
};
