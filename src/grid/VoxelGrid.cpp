#include "grid/VoxelGrid.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

bool VoxelGrid::supports_levels(long levels) {
    return levels >= kMinLevels && levels <= kMaxLevels;
}

namespace {

uint32_t checked_leaf_level(long levels) {
    if (!VoxelGrid::supports_levels(levels)) {
        throw std::invalid_argument("a voxel grid has 2 to 8 levels");
    }
    return static_cast<uint32_t>(levels - 1);
}

}  // namespace

VoxelGrid::VoxelGrid(long levels, bool solid)
    : leaf_level_(checked_leaf_level(levels)),
      coordinate_mask_((1u << (3 * (leaf_level_ + 1))) - 1),
      leaf_map_(leaf_level_) {
    for (uint32_t level = 0; level <= leaf_level_ + 1; ++level) {
        cell_mask_[level] = coordinate_mask_ & ~((uint32_t(1) << 3 * (leaf_level_ + 1 - level)) - 1);
    }
    root_.solid = BitPlane::filled(solid);
    recent_leaf_.mask = cell_mask_[leaf_level_];
    path_[0].node = &root_;
    path_[0].child_shift = 3 * leaf_level_;
    path_[0].version_now = &kRootVersion;
    path_[0].version = kRootVersion;
    for (uint32_t level = 1; level < leaf_level_; ++level) path_[level].version_now = &kRootVersion;
    last_node_ = path_[0];
    std::fill(std::begin(leaf_cache_), std::end(leaf_cache_), kNoEntry);
    node_maps_.reserve(leaf_level_ - 1);
    for (uint32_t level = 1; level < leaf_level_; ++level) node_maps_.emplace_back(level);
}

CellKey VoxelGrid::key_of(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    const uint32_t cell_bits = 3 * (levels() - level);
    const uint32_t keep = coordinate_mask_ & ~((uint32_t(1) << cell_bits) - 1);
    return CellKey::of_cell(x & keep, y & keep, z & keep);
}

ChildIndex VoxelGrid::child_index(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    const uint32_t shift = 3 * (leaf_level_ - level);
    return ChildIndex{(x >> shift) & 7u, (y >> shift) & 7u, (z >> shift) & 7u};
}

void VoxelGrid::remember_node(uint32_t level, uint32_t x, uint32_t y, uint32_t z, uint32_t index) const {
    NodeMap& map = const_cast<NodeMap&>(node_maps_[level - 1]);
    const uint32_t m = cell_mask_[level];
    path_[level] = RecentNode{x & m, y & m, z & m, m, 3 * (leaf_level_ - level), index, &map.entry_at(index).value,
                              &map.layout_version(), map.layout_version()};
}

void VoxelGrid::remember_leaf(uint32_t x, uint32_t y, uint32_t z, uint32_t index) const {
    LeafMap& map = const_cast<LeafMap&>(leaf_map_);
    const uint32_t m = cell_mask_[leaf_level_];
    recent_leaf_ = RecentLeaf{x & m, y & m, z & m, m, index, &map.entry_at(index).value, map.layout_version()};
    leaf_cache_[leaf_cache_slot(x, y)] = index;
}

GridNode* VoxelGrid::remembered_node(uint32_t level, uint32_t x, uint32_t y, uint32_t z) const {
    const RecentNode& r = path_[level];
    if (r.version == *r.version_now && in_cell(x, y, z, r.x, r.y, r.z, r.mask)) return r.node;
    const NodeMap& map = node_maps_[level - 1];
    const uint32_t index = map.index_of(key_of(x, y, z, level));
    if (index == kNoEntry) return nullptr;
    remember_node(level, x, y, z, index);
    return path_[level].node;
}

bool VoxelGrid::recall_cached_leaf(uint32_t x, uint32_t y, uint32_t z) const {
    const uint32_t index = leaf_cache_[leaf_cache_slot(x, y)];
    if (index >= leaf_map_.size() || leaf_map_.entry_at(index).key != key_of(x, y, z, leaf_level_)) return false;
    remember_leaf(x, y, z, index);
    return true;
}

LeafBlock* VoxelGrid::remembered_leaf(uint32_t x, uint32_t y, uint32_t z) const {
    if (in_recent_leaf(x, y, z) || recall_cached_leaf(x, y, z)) return recent_leaf_.leaf;
    const uint32_t index = leaf_map_.index_of(key_of(x, y, z, leaf_level_));
    if (index == kNoEntry) return nullptr;
    remember_leaf(x, y, z, index);
    return recent_leaf_.leaf;
}

LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) { return remembered_leaf(x, y, z); }

const LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) const { return remembered_leaf(x, y, z); }

GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) {
    if (level == 0) return &root_;
    if (level >= leaf_level_) return nullptr;
    return remembered_node(level, x, y, z);
}

const GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    return const_cast<VoxelGrid*>(this)->find_node(x, y, z, level);
}

uint32_t VoxelGrid::deepest_remembered_level(uint32_t x, uint32_t y, uint32_t z) const {
    for (uint32_t level = leaf_level_ - 1; level > 0; --level) {
        const RecentNode& r = path_[level];
        if (r.version == *r.version_now && in_cell(x, y, z, r.x, r.y, r.z, r.mask)) return level;
    }
    return 0;
}

// A remembered node holds the voxel only while it is in its map, and a node
// is in its map only while its parent's child is subdivided, so the walk may
// start there. A subdivided child whose entry is missing (only a grid broken
// through the raw map calls has one) ends the walk as if it were uniform.
VoxelGrid::PathEnd VoxelGrid::walk(uint32_t x, uint32_t y, uint32_t z) const {
    PathEnd end;
    end.level = deepest_remembered_level(x, y, z);
    end.node = path_[end.level].node;
    for (;;) {
        if (!end.node->subdivided.test(child_index(x, y, z, end.level))) break;
        const uint32_t below = end.level + 1;
        if (below == leaf_level_) {
            last_node_ = path_[end.level];
            if (LeafBlock* leaf = remembered_leaf(x, y, z)) {
                end.leaf = leaf;
                end.level = below;
            }
            return end;
        }
        GridNode* node = remembered_node(below, x, y, z);
        if (node == nullptr) break;
        end.node = node;
        end.level = below;
    }
    last_node_ = path_[end.level];
    return end;
}

bool VoxelGrid::get_voxel_elsewhere(uint32_t x, uint32_t y, uint32_t z) const {
    const PathEnd end = walk(x, y, z);
    if (end.leaf) return end.leaf->bits.test(voxel_in_leaf(x, y, z));
    return end.node->child_solid(child_index(x, y, z, end.level));
}

CellState VoxelGrid::cell_state(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const {
    if (depth == 0) depth = 1;
    if (depth > levels()) depth = levels();
    const PathEnd end = walk(x, y, z);
    if (end.leaf) {
        if (depth == levels()) {
            return end.leaf->bits.test(child_index(x, y, z, leaf_level_)) ? CellState::Solid : CellState::Clear;
        }
        return CellState::Subdivided;
    }
    // The walk went through subdivided children above its end; cells of the
    // end's child and below lie inside that uniform child.
    if (depth - 1 < end.level) return CellState::Subdivided;
    return end.node->state(child_index(x, y, z, end.level));
}

void VoxelGrid::collapse_if_uniform(uint32_t x, uint32_t y, uint32_t z, bool solid) {
    if (!recent_leaf_.leaf->bits.is_uniform(solid)) return;
    leaf_map_.remove_at(recent_leaf_.index);
    collapse_above_leaf(x, y, z, solid);
}

bool VoxelGrid::assign_elsewhere(uint32_t x, uint32_t y, uint32_t z, bool solid) {
    if (recall_cached_leaf(x, y, z)) return assign_in_recent_leaf(x, y, z, solid);
    bool was_solid = false;
    if (in_uniform_child_of_last_node(x, y, z, was_solid) && was_solid == solid) return solid;
    const PathEnd end = walk(x, y, z);
    if (end.leaf) return assign_in_recent_leaf(x, y, z, solid);
    GridNode& node = *end.node;
    const ChildIndex child = child_index(x, y, z, end.level);
    if (node.state(child) == (solid ? CellState::Solid : CellState::Clear)) return solid;
    if (observer_) observer_->before_voxel_change(*this, x, y, z);
    node.make_uniform(child, solid);
    // The child was uniform the other way: split it down to the voxel. Its
    // solid bit in this node stays as just made.
    node.subdivided.set(child);
    LeafBlock& leaf = refine_below(x, y, z, end.level, !solid);
    leaf.bits.assign(voxel_in_leaf(x, y, z), solid);
    return !solid;
}

LeafBlock& VoxelGrid::refine_below(uint32_t x, uint32_t y, uint32_t z, uint32_t level, bool filled) {
    GridNode uniform;
    uniform.solid = BitPlane::filled(filled);
    for (uint32_t j = level + 1; j < leaf_level_; ++j) {
        GridNode& created = node_map(j).insert(key_of(x, y, z, j), uniform);
        created.subdivided.set(child_index(x, y, z, j));
        remember_node(j, x, y, z, node_map(j).size() - 1);
    }
    leaf_map_.insert(key_of(x, y, z, leaf_level_), LeafBlock{BitPlane::filled(filled)});
    remember_leaf(x, y, z, leaf_map_.size() - 1);
    return *recent_leaf_.leaf;
}

void VoxelGrid::collapse_above_leaf(uint32_t x, uint32_t y, uint32_t z, bool filled) {
    for (uint32_t level = leaf_level_ - 1; level > 0; --level) {
        GridNode* node = find_node(x, y, z, level);
        node->make_uniform(child_index(x, y, z, level), filled);
        if (!node->is_uniform(filled)) return;
        node_map(level).remove_at(path_[level].index);
    }
    root_.make_uniform(child_index(x, y, z, 0), filled);
}

GridNode& VoxelGrid::insert_node(NodeMap& map, CellKey key, const GridNode& node) {
    return map.insert(key, node);
}

LeafBlock& VoxelGrid::insert_leaf(LeafMap& map, CellKey key, const LeafBlock& bits) {
    return map.insert(key, bits);
}

bool VoxelGrid::remove_entry(NodeMap& map, CellKey key) { return map.remove(key); }
bool VoxelGrid::remove_entry(LeafMap& map, CellKey key) { return map.remove(key); }
GridNode* VoxelGrid::find_entry(NodeMap& map, CellKey key) { return map.find(key); }
const GridNode* VoxelGrid::find_entry(const NodeMap& map, CellKey key) { return map.find(key); }
LeafBlock* VoxelGrid::find_entry(LeafMap& map, CellKey key) { return map.find(key); }
const LeafBlock* VoxelGrid::find_entry(const LeafMap& map, CellKey key) { return map.find(key); }
