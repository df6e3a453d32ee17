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
// Lookups remember where they went: the leaf block or the uniform child in
// which the last one ended, the node of each level on its path, and leaf
// blocks by the low bits of their x and y block coordinates. A remembered
// entry is used only while its map's layout version is the one it was seen
// with (entries move only on removals), and the bits of a remembered node
// are read afresh, so edits through the maps themselves never leave them
// stale. Because even const queries update them, a grid must not be read
// from two threads at once.
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
        if (in_recent_leaf(x, y, z)) return recent_leaf_.leaf->bits.test(voxel_in_leaf(x, y, z));
        bool solid = false;
        if (in_uniform_child_of_last_node(x, y, z, solid)) return solid;
        return get_voxel_elsewhere(x, y, z);
    }
    // State of the cell of the given depth (1 = a child of the root, levels =
    // the voxel itself) that contains the voxel. Depths outside that range
    // are clamped into it.
    CellState cell_state(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const;

    // Makes the voxel solid; returns whether it was solid already.
    bool set_voxel(uint32_t x, uint32_t y, uint32_t z) { return assign(x, y, z, true); }
    // Makes the voxel clear; returns whether it was solid before.
    bool clear_voxel(uint32_t x, uint32_t y, uint32_t z) { return assign(x, y, z, false); }

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
    // A layout version that no map reaches: remembers nothing.
    static constexpr uint64_t kForgotten = ~uint64_t(0);

    static ChildIndex voxel_in_leaf(uint32_t x, uint32_t y, uint32_t z) { return ChildIndex{x & 7u, y & 7u, z & 7u}; }
    // A row of up to 256 leaf blocks along x, for 16 rows of blocks along y:
    // scans along x find the blocks of the previous rows again.
    static uint32_t leaf_cache_slot(uint32_t x, uint32_t y) { return ((x >> 3) & 255u) | ((y >> 3) & 15u) << 8; }

    // True when the voxel lies in the cell whose lowest voxel is (cx, cy, cz);
    // `mask` keeps the bits that name a cell of its size.
    static bool in_cell(uint32_t x, uint32_t y, uint32_t z, uint32_t cx, uint32_t cy, uint32_t cz, uint32_t mask) {
        return (((x ^ cx) | (y ^ cy) | (z ^ cz)) & mask) == 0;
    }

    // The leaf block in which the last access ended, and its storage index.
    struct RecentLeaf {
        uint32_t x = 0, y = 0, z = 0, mask = 0;  // its lowest voxel, the mask naming a block
        uint32_t index = 0;
        LeafBlock* leaf = nullptr;
        uint64_t version = kForgotten;
    };
    bool in_recent_leaf(uint32_t x, uint32_t y, uint32_t z) const {
        const RecentLeaf& r = recent_leaf_;
        return in_cell(x, y, z, r.x, r.y, r.z, r.mask) && r.version == leaf_map_.layout_version();
    }

    // A node on the path of an earlier access: its cell's lowest voxel and
    // mask, the shift from a voxel coordinate to its child there, storage
    // index, and the layout version of its map (the root's never changes).
    struct RecentNode {
        uint32_t x = 0, y = 0, z = 0, mask = 0;
        uint32_t child_shift = 0;
        uint32_t index = 0;
        GridNode* node = nullptr;
        const uint64_t* version_now = nullptr;
        uint64_t version = kForgotten;
    };
    // When the voxel lies in a uniform child of the node where the last walk
    // ended (its deepest node), sets `solid` to the child's state.
    bool in_uniform_child_of_last_node(uint32_t x, uint32_t y, uint32_t z, bool& solid) const {
        const RecentNode& n = last_node_;
        if (!in_cell(x, y, z, n.x, n.y, n.z, n.mask) || n.version != *n.version_now) return false;
        const uint32_t s = n.child_shift;
        const uint32_t c = (x >> s & 7u) | (y >> s & 7u) << 3 | (z >> s & 7u) << 6;
        const uint32_t word = c >> 5, bit = 1u << (c & 31u);
        if ((n.node->subdivided.words[word] & bit) != 0) return false;
        solid = (n.node->solid.words[word] & bit) != 0;
        return true;
    }

    bool assign(uint32_t x, uint32_t y, uint32_t z, bool solid) {
        if (in_recent_leaf(x, y, z)) return assign_in_recent_leaf(x, y, z, solid);
        return assign_elsewhere(x, y, z, solid);
    }

    // Sets or clears the voxel in the recent leaf block, which holds it;
    // returns whether it was solid.
    bool assign_in_recent_leaf(uint32_t x, uint32_t y, uint32_t z, bool solid) {
        LeafBlock& leaf = *recent_leaf_.leaf;
        const uint32_t n = BitPlane::bit_number(voxel_in_leaf(x, y, z));
        uint32_t& word = leaf.bits.words[n >> 5];
        const uint32_t bit = 1u << (n & 31u);
        const bool was_solid = (word & bit) != 0;
        if (was_solid == solid) return was_solid;
        if (observer_) observer_->before_voxel_change(*this, x, y, z);
        word ^= bit;
        // Only a block whose changed word became uniform can be uniform.
        if (word == (solid ? BitPlane::kAllOnes : 0u)) collapse_if_uniform(x, y, z, solid);
        return was_solid;
    }

    // Where the voxel's path ends: the leaf block (level L), or the node of
    // `level` whose child holding the voxel is uniform.
    struct PathEnd {
        GridNode* node = nullptr;
        LeafBlock* leaf = nullptr;
        uint32_t level = 0;
    };
    // Goes down from the deepest remembered node that holds the voxel.
    PathEnd walk(uint32_t x, uint32_t y, uint32_t z) const;
    // The deepest level whose remembered node holds the voxel (0: the root).
    uint32_t deepest_remembered_level(uint32_t x, uint32_t y, uint32_t z) const;
    void remember_node(uint32_t level, uint32_t x, uint32_t y, uint32_t z, uint32_t index) const;
    void remember_leaf(uint32_t x, uint32_t y, uint32_t z, uint32_t index) const;
    // Queries and edits outside the recent leaf block: through the leaf
    // cache, the recent uniform child, or a walk.
    bool get_voxel_elsewhere(uint32_t x, uint32_t y, uint32_t z) const;
    bool assign_elsewhere(uint32_t x, uint32_t y, uint32_t z, bool solid);
    // Makes the voxel's leaf block the recent one when the leaf cache
    // remembers it.
    bool recall_cached_leaf(uint32_t x, uint32_t y, uint32_t z) const;
    // The node of `level` holding the voxel: the remembered one, or found by
    // hashing (and then remembered).
    GridNode* remembered_node(uint32_t level, uint32_t x, uint32_t y, uint32_t z) const;
    // The voxel's leaf block through the leaf cache, or by hashing; either
    // way it becomes the recent leaf block.
    LeafBlock* remembered_leaf(uint32_t x, uint32_t y, uint32_t z) const;
    // Removes the recent leaf block, which holds the voxel, and collapses its
    // ancestors when it is uniform.
    void collapse_if_uniform(uint32_t x, uint32_t y, uint32_t z, bool solid);
    // Creates the nodes below `level` down to a leaf block, each uniform
    // (`filled`) but for the voxel's subdivided child, and returns the leaf.
    LeafBlock& refine_below(uint32_t x, uint32_t y, uint32_t z, uint32_t level, bool filled);
    // After the voxel's leaf block was removed as uniform, marks the voxel's
    // child `filled` level by level and removes every node that became
    // uniform with it.
    void collapse_above_leaf(uint32_t x, uint32_t y, uint32_t z, bool filled);

    uint32_t leaf_level_;
    uint32_t coordinate_mask_;  // side - 1
    // By level 0 .. L + 1: the bits of a coordinate that name the level's
    // cell (level L: a leaf block; L + 1: the voxel).
    uint32_t cell_mask_[kMaxLevels + 1];
    GridNode root_;
    std::vector<NodeMap> node_maps_;  // levels 1 .. L - 1
    LeafMap leaf_map_;
    VoxelChangeObserver* observer_ = nullptr;
    static constexpr uint64_t kRootVersion = 0;  // the root never moves
    mutable RecentLeaf recent_leaf_;
    mutable RecentNode path_[kMaxLevels];  // levels 0 (the root) .. L - 1
    mutable RecentNode last_node_;         // a copy of the deepest node of the last walk
    // Storage indices of leaf blocks by leaf_cache_slot, checked against
    // the entry's key before use.
    mutable uint32_t leaf_cache_[kLeafCacheSlots];
};
