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
    : leaf_level_(checked_leaf_level(levels)),
      coordinate_mask_((1u << (3 * (leaf_level_ + 1))) - 1),
      leaf_map_(leaf_level_) {
    root_.solid = BitPlane::filled(solid);
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

template <typename Value>
Value* VoxelGrid::remembered(CellMap<Value>& map, uint32_t level, CellKey key) const {
    uint32_t& index = path_[level];
    if (index < map.size()) {
        auto& entry = map.entry_at(index);
        if (entry.key == key) return &entry.value;
    }
    index = map.index_of(key);
    return index == kNoEntry ? nullptr : &map.entry_at(index).value;
}

LeafBlock* VoxelGrid::remembered_leaf(uint32_t x, uint32_t y, uint32_t z) const {
    return remembered(const_cast<LeafMap&>(leaf_map_), leaf_level_, key_of(x, y, z, leaf_level_));
}

LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) { return remembered_leaf(x, y, z); }

const LeafBlock* VoxelGrid::find_leaf(uint32_t x, uint32_t y, uint32_t z) const { return remembered_leaf(x, y, z); }

GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) {
    if (level == 0) return &root_;
    if (level >= leaf_level_) return nullptr;
    return remembered(node_map(level), level, key_of(x, y, z, level));
}

const GridNode* VoxelGrid::find_node(uint32_t x, uint32_t y, uint32_t z, uint32_t level) const {
    return const_cast<VoxelGrid*>(this)->find_node(x, y, z, level);
}

// Goes down from the root while the voxel's child is subdivided. A subdivided
// child whose entry is missing (only a grid broken through the raw map calls
// has one) ends the walk as if it were uniform.
VoxelGrid::PathEnd VoxelGrid::walk(uint32_t x, uint32_t y, uint32_t z) const {
    PathEnd end;
    end.node = const_cast<GridNode*>(&root_);
    for (;;) {
        if (!end.node->subdivided.test(child_index(x, y, z, end.level))) return end;
        const uint32_t below = end.level + 1;
        if (below == leaf_level_) {
            if (LeafBlock* leaf = remembered_leaf(x, y, z)) {
                end.leaf = leaf;
                end.level = below;
            }
            return end;
        }
        GridNode* node = remembered(const_cast<NodeMap&>(node_maps_[below - 1]), below, key_of(x, y, z, below));
        if (node == nullptr) return end;
        end.node = node;
        end.level = below;
    }
}

// The remembered leaf block first: coherent queries and edits mostly stay in it.
VoxelGrid::PathEnd VoxelGrid::walk_from_leaf(uint32_t x, uint32_t y, uint32_t z) const {
    const uint32_t index = path_[leaf_level_];
    if (index < leaf_map_.size()) {
        LeafMap::Entry& entry = const_cast<LeafMap&>(leaf_map_).entry_at(index);
        if (entry.key == key_of(x, y, z, leaf_level_)) {
            PathEnd end;
            end.leaf = &entry.value;
            end.level = leaf_level_;
            return end;
        }
    }
    return walk(x, y, z);
}

bool VoxelGrid::get_voxel(uint32_t x, uint32_t y, uint32_t z) const {
    const PathEnd end = walk_from_leaf(x, y, z);
    if (end.leaf) return end.leaf->bits.test(child_index(x, y, z, leaf_level_));
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

void VoxelGrid::edit_leaf(LeafBlock& leaf, uint32_t x, uint32_t y, uint32_t z, bool solid) {
    const ChildIndex voxel = child_index(x, y, z, leaf_level_);
    leaf.bits.assign(voxel, solid);
    // Only a block whose changed word became uniform can be uniform.
    const uint32_t word = leaf.bits.words[BitPlane::bit_number(voxel) >> 5];
    if (word != (solid ? BitPlane::kAllOnes : 0u) || !leaf.bits.is_uniform(solid)) return;
    leaf_map_.remove_at(path_[leaf_level_]);
    collapse_above_leaf(x, y, z, solid);
}

bool VoxelGrid::set_voxel(uint32_t x, uint32_t y, uint32_t z) {
    const PathEnd end = walk_from_leaf(x, y, z);
    if (end.leaf) {
        if (end.leaf->bits.test(child_index(x, y, z, leaf_level_))) return true;
        if (observer_) observer_->before_voxel_change(*this, x, y, z);
        edit_leaf(*end.leaf, x, y, z, true);
        return false;
    }
    GridNode& node = *end.node;
    const ChildIndex child = child_index(x, y, z, end.level);
    if (node.state(child) == CellState::Solid) return true;
    if (observer_) observer_->before_voxel_change(*this, x, y, z);
    node.make_uniform(child, true);
    // The child was clear: split it down to the voxel, keeping the solid bit
    // set in this node's child.
    node.subdivided.set(child);
    refine_below(x, y, z, end.level, false).bits.set(child_index(x, y, z, leaf_level_));
    return false;
}

bool VoxelGrid::clear_voxel(uint32_t x, uint32_t y, uint32_t z) {
    const PathEnd end = walk_from_leaf(x, y, z);
    if (end.leaf) {
        if (!end.leaf->bits.test(child_index(x, y, z, leaf_level_))) return false;
        if (observer_) observer_->before_voxel_change(*this, x, y, z);
        edit_leaf(*end.leaf, x, y, z, false);
        return true;
    }
    GridNode& node = *end.node;
    const ChildIndex child = child_index(x, y, z, end.level);
    if (node.state(child) == CellState::Clear) return false;
    if (observer_) observer_->before_voxel_change(*this, x, y, z);
    node.make_uniform(child, false);
    node.subdivided.set(child);
    refine_below(x, y, z, end.level, true).bits.reset(child_index(x, y, z, leaf_level_));
    return true;
}

LeafBlock& VoxelGrid::refine_below(uint32_t x, uint32_t y, uint32_t z, uint32_t level, bool filled) {
    GridNode uniform;
    uniform.solid = BitPlane::filled(filled);
    for (uint32_t j = level + 1; j < leaf_level_; ++j) {
        GridNode& created = node_map(j).insert(key_of(x, y, z, j), uniform);
        created.subdivided.set(child_index(x, y, z, j));
        path_[j] = node_map(j).size() - 1;
    }
    LeafBlock& leaf = leaf_map_.insert(key_of(x, y, z, leaf_level_), LeafBlock{BitPlane::filled(filled)});
    path_[leaf_level_] = leaf_map_.size() - 1;
    return leaf;
}

void VoxelGrid::collapse_above_leaf(uint32_t x, uint32_t y, uint32_t z, bool filled) {
    for (uint32_t level = leaf_level_ - 1; level > 0; --level) {
        GridNode* node = find_node(x, y, z, level);
        node->make_uniform(child_index(x, y, z, level), filled);
        if (!node->is_uniform(filled)) return;
        node_map(level).remove_at(path_[level]);
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
