#include "grid/VoxelGrid.h"

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
    : leaf_level_(checked_leaf_level(levels)), leaf_map_(leaf_level_) {
    root_.solid = BitPlane::filled(solid);
    node_maps_.reserve(leaf_level_ - 1);
    for (uint32_t level = 1; level < leaf_level_; ++level) node_maps_.emplace_back(level);
}

CellKey VoxelGrid::key_of(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    const uint32_t cell_bits = 3 * (levels() - level);
    const uint32_t keep = (side() - 1) & ~((uint32_t(1) << cell_bits) - 1);
    return CellKey::of_cell(x & keep, y & keep, z & keep);
}

ChildIndex VoxelGrid::child_index(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    const uint32_t shift = 3 * (leaf_level_ - level);
    return ChildIndex{(x >> shift) & 7u, (y >> shift) & 7u, (z >> shift) & 7u};
}

LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) {
    return leaf_map_.find(key_of(x, y, z, leaf_level_));
}

const LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) const {
    return leaf_map_.find(key_of(x, y, z, leaf_level_));
}

GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) {
    if (level == 0) return &root_;
    if (level >= leaf_level_) return nullptr;
    return node_map(level).find(key_of(x, y, z, level));
}

const GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    return const_cast<VoxelGrid*>(this)->find_node(x, y, z, level);
}

GridNode& VoxelGrid::deepest_node(uint32_t x, uint32_t y, uint32_t z, uint32_t& level) {
    for (level = leaf_level_ - 1; level > 0; --level) {
        if (GridNode* node = find_node(x, y, z, level)) return *node;
    }
    return root_;
}

bool VoxelGrid::get_voxel(uint32_t x, uint32_t y, uint32_t z) const {
    if (const LeafBlock* leaf = find_leaf(x, y, z)) return leaf->bits.test(child_index(x, y, z, leaf_level_));
    uint32_t level = 0;
    const GridNode& node = const_cast<VoxelGrid*>(this)->deepest_node(x, y, z, level);
    return node.child_solid(child_index(x, y, z, level));
}

CellState VoxelGrid::cell_state(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const {
    if (depth == 0) depth = 1;
    uint32_t level = depth - 1;
    if (level >= leaf_level_) {
        if (const LeafBlock* leaf = find_leaf(x, y, z)) {
            return leaf->bits.test(child_index(x, y, z, leaf_level_)) ? CellState::Solid : CellState::Clear;
        }
        level = leaf_level_ - 1;
    }
    // A missing node means an ancestor's child is uniform, and so is the cell.
    for (;; --level) {
        if (const GridNode* node = find_node(x, y, z, level)) return node->state(child_index(x, y, z, level));
    }
}

bool VoxelGrid::set_voxel(uint32_t x, uint32_t y, uint32_t z) {
    if (LeafBlock* leaf = find_leaf(x, y, z)) {
        const ChildIndex voxel = child_index(x, y, z, leaf_level_);
        if (leaf->bits.test(voxel)) return true;
        leaf->bits.set(voxel);
        if (leaf->bits.is_all_ones()) {
            leaf_map_.remove(key_of(x, y, z, leaf_level_));
            collapse_above_leaf(x, y, z, true);
        }
        return false;
    }
    uint32_t level = 0;
    GridNode& node = deepest_node(x, y, z, level);
    const ChildIndex child = child_index(x, y, z, level);
    const CellState before = node.state(child);
    node.make_uniform(child, true);
    if (before == CellState::Solid) return true;
    // The child was clear: split it down to the voxel, keeping the solid bit
    // set in this node's child.
    node.subdivided.set(child);
    refine_below(x, y, z, level, false).bits.set(child_index(x, y, z, leaf_level_));
    return false;
}

bool VoxelGrid::clear_voxel(uint32_t x, uint32_t y, uint32_t z) {
    if (LeafBlock* leaf = find_leaf(x, y, z)) {
        const ChildIndex voxel = child_index(x, y, z, leaf_level_);
        if (!leaf->bits.test(voxel)) return false;
        leaf->bits.reset(voxel);
        if (leaf->bits.is_all_zeros()) {
            leaf_map_.remove(key_of(x, y, z, leaf_level_));
            collapse_above_leaf(x, y, z, false);
        }
        return true;
    }
    uint32_t level = 0;
    GridNode& node = deepest_node(x, y, z, level);
    const ChildIndex child = child_index(x, y, z, level);
    const CellState before = node.state(child);
    node.make_uniform(child, false);
    if (before == CellState::Clear) return false;
    node.subdivided.set(child);
    refine_below(x, y, z, level, true).bits.reset(child_index(x, y, z, leaf_level_));
    return true;
}

LeafBlock& VoxelGrid::refine_below(uint32_t x, uint32_t y, uint32_t z, uint32_t level, bool filled) {
    GridNode uniform;
    uniform.solid = BitPlane::filled(filled);
    for (uint32_t j = level + 1; j < leaf_level_; ++j) {
        GridNode& created = node_map(j).insert(key_of(x, y, z, j), uniform);
        created.subdivided.set(child_index(x, y, z, j));
    }
    return leaf_map_.insert(key_of(x, y, z, leaf_level_), LeafBlock{BitPlane::filled(filled)});
}

void VoxelGrid::collapse_above_leaf(uint32_t x, uint32_t y, uint32_t z, bool filled) {
    for (uint32_t level = leaf_level_ - 1; level > 0; --level) {
        GridNode* node = find_node(x, y, z, level);
        node->make_uniform(child_index(x, y, z, level), filled);
        if (!node->is_uniform(filled)) return;
        node_map(level).remove(key_of(x, y, z, level));
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
