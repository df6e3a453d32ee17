#include "grid/SolidBounds.h"

#include <algorithm>

#include "grid/VoxelGrid.h"

namespace {

// Which side of the solid voxels a search looks for.
struct Side {
    uint32_t axis;  // 0 = x, 1 = y, 2 = z
    bool highest;
};

// Per axis, one bit for each of a leaf block's 8 layers across that axis
// that holds a solid voxel. Bit cx + 8 cy + 64 cz: each 32-bit word holds
// four rows along x of one z layer, one byte per row.
struct LayerMasks {
    uint32_t layers[3] = {0, 0, 0};

    explicit LayerMasks(const LeafBlock& leaf) {
        for (uint32_t word_index = 0; word_index < BitPlane::kWordCount; ++word_index) {
            const uint32_t word = leaf.bits.words[word_index];
            if (word == 0) continue;
            layers[2] |= 1u << (word_index / 2);
            for (uint32_t byte = 0; byte < 4; ++byte) {
                const uint32_t row = (word >> (8 * byte)) & 0xFFu;
                if (row == 0) continue;
                layers[0] |= row;
                layers[1] |= 1u << ((word_index % 2) * 4 + byte);
            }
        }
    }
};

// Whether any child of the layer across `axis` has its bit set in the plane.
bool layer_has(const BitPlane& plane, uint32_t axis, uint32_t layer) {
    uint32_t any = 0;
    if (axis == 0) {
        for (uint32_t word : plane.words) any |= word & (0x01010101u << layer);
    } else if (axis == 1) {
        for (uint32_t z = 0; z < 8; ++z) any |= plane.words[2 * z + layer / 4] & (0xFFu << (8 * (layer % 4)));
    } else {
        any = plane.words[2 * layer] | plane.words[2 * layer + 1];
    }
    return any != 0;
}

ChildIndex child_in_layer(uint32_t axis, uint32_t layer, uint32_t a, uint32_t b) {
    if (axis == 0) return ChildIndex{layer, a, b};
    if (axis == 1) return ChildIndex{a, layer, b};
    return ChildIndex{a, b, layer};
}

// The lowest (or highest) coordinate along one axis of a solid voxel. It
// looks at the children of a node layer by layer from that side and stops at
// the first layer that holds a solid voxel, so it enters only the cells near
// that side of the solid voxels.
class ExtremeSearch {
public:
    ExtremeSearch(const VoxelGrid& grid, Side side) : grid_(grid), side_(side) {}

    // False when no voxel is solid.
    bool run(uint32_t& coordinate) const { return in_node(grid_.root(), 0, Corner{0, 0, 0}, coordinate); }

private:
    struct Corner {
        uint32_t at[3];
    };

    bool better(uint32_t candidate, uint32_t current) const {
        return side_.highest ? candidate > current : candidate < current;
    }

    bool in_node(const GridNode& node, uint32_t level, Corner corner, uint32_t& coordinate) const {
        const uint32_t child_bits = 3 * (grid_.leaf_level() - level);
        BitPlane uniform_solid;
        for (uint32_t i = 0; i < BitPlane::kWordCount; ++i) {
            uniform_solid.words[i] = node.solid.words[i] & ~node.subdivided.words[i];
        }
        for (uint32_t step = 0; step < 8; ++step) {
            const uint32_t layer = side_.highest ? 7 - step : step;
            const uint32_t layer_start = corner.at[side_.axis] + (layer << child_bits);
            // A wholly solid child reaches the layer's edge: nothing in the layer beats it.
            const uint32_t edge = side_.highest ? layer_start + (uint32_t(1) << child_bits) - 1 : layer_start;
            if (layer_has(uniform_solid, side_.axis, layer)) {
                coordinate = edge;
                return true;
            }
            if (!layer_has(node.subdivided, side_.axis, layer)) continue;
            bool found = false;
            for (uint32_t i = 0; i < 64; ++i) {
                const ChildIndex c = child_in_layer(side_.axis, layer, i % 8, i / 8);
                if (!node.subdivided.test(c)) continue;
                const Corner child{{corner.at[0] + (c.x << child_bits), corner.at[1] + (c.y << child_bits),
                                    corner.at[2] + (c.z << child_bits)}};
                uint32_t inside = 0;
                if (!in_child(level + 1, child, inside)) continue;
                if (!found || better(inside, coordinate)) coordinate = inside;
                found = true;
                if (coordinate == edge) return true;
            }
            if (found) return true;
        }
        return false;
    }

    bool in_child(uint32_t level, Corner corner, uint32_t& coordinate) const {
        const uint32_t x = corner.at[0], y = corner.at[1], z = corner.at[2];
        if (level == grid_.leaf_level()) {
            const LeafBlock* leaf = grid_.find_leaf(x, y, z);
            if (leaf == nullptr) return false;
            const uint32_t layers = LayerMasks(*leaf).layers[side_.axis];
            if (layers == 0) return false;
            const uint32_t layer = side_.highest ? 31u - static_cast<uint32_t>(__builtin_clz(layers))
                                                 : static_cast<uint32_t>(__builtin_ctz(layers));
            coordinate = corner.at[side_.axis] + layer;
            return true;
        }
        const GridNode* node = grid_.find_node(x, y, z, level);
        return node != nullptr && in_node(*node, level, corner, coordinate);
    }

    const VoxelGrid& grid_;
    Side side_;
};

}  // namespace

std::optional<IntBox> solid_voxel_bounds(const VoxelGrid& grid) {
    uint32_t ends[6] = {};
    for (uint32_t end = 0; end < 6; ++end) {
        if (!ExtremeSearch(grid, Side{end % 3, end >= 3}).run(ends[end])) return std::nullopt;
    }
    return IntBox{ends[0], ends[1], ends[2], ends[3], ends[4], ends[5]};
}
