#include "grid/SolidBounds.h"

#include <algorithm>

#include "grid/VoxelGrid.h"

namespace {

class BoundsSearch {
public:
    explicit BoundsSearch(const VoxelGrid& grid) : grid_(grid) {}

    std::optional<IntBox> run() {
        visit_node(grid_.root(), 0, 0, 0, 0);
        if (!found_) return std::nullopt;
        return bounds_;
    }

private:
    // (x, y, z): the lowest voxel of the node's cell.
    void visit_node(const GridNode& node, uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        const uint32_t child_bits = 3 * (grid_.leaf_level() - level);
        const uint32_t child_side = uint32_t(1) << child_bits;
        for (uint32_t cz = 0; cz < 8; ++cz) {
            for (uint32_t cy = 0; cy < 8; ++cy) {
                for (uint32_t cx = 0; cx < 8; ++cx) {
                    const ChildIndex c{cx, cy, cz};
                    const IntBox cell = cube(x + (cx << child_bits), y + (cy << child_bits),
                                             z + (cz << child_bits), child_side);
                    if (node.subdivided.test(c)) {
                        if (!lies_inside_bounds(cell)) visit_child(level + 1, cell);
                    } else if (node.solid.test(c)) {
                        include(cell);
                    }
                }
            }
        }
    }

    void visit_child(uint32_t level, const IntBox& cell) {
        if (level == grid_.leaf_level()) {
            if (const LeafBlock* leaf = grid_.find_leaf(cell.x0, cell.y0, cell.z0)) {
                visit_leaf(*leaf, cell.x0, cell.y0, cell.z0);
            }
        } else if (const GridNode* child = grid_.find_node(cell.x0, cell.y0, cell.z0, level)) {
            visit_node(*child, level, cell.x0, cell.y0, cell.z0);
        }
    }

    // Bit cx + 8 cy + 64 cz: each 32-bit word holds four rows along x, one
    // byte each, of one z layer.
    void visit_leaf(const LeafBlock& leaf, uint32_t x, uint32_t y, uint32_t z) {
        for (uint32_t word_index = 0; word_index < BitPlane::kWordCount; ++word_index) {
            const uint32_t word = leaf.bits.words[word_index];
            if (word == 0) continue;
            for (uint32_t byte = 0; byte < 4; ++byte) {
                const uint32_t row = (word >> (8 * byte)) & 0xFFu;
                if (row == 0) continue;
                const uint32_t first = static_cast<uint32_t>(__builtin_ctz(row));
                const uint32_t last = 31u - static_cast<uint32_t>(__builtin_clz(row));
                const uint32_t row_y = y + (word_index % 2) * 4 + byte;
                const uint32_t row_z = z + word_index / 2;
                include(IntBox{x + first, row_y, row_z, x + last, row_y, row_z});
            }
        }
    }

    static IntBox cube(uint32_t x, uint32_t y, uint32_t z, uint32_t side) {
        return IntBox{x, y, z, x + side - 1, y + side - 1, z + side - 1};
    }

    bool lies_inside_bounds(const IntBox& cell) const {
        return found_ && cell.x0 >= bounds_.x0 && cell.y0 >= bounds_.y0 && cell.z0 >= bounds_.z0 &&
               cell.x1 <= bounds_.x1 && cell.y1 <= bounds_.y1 && cell.z1 <= bounds_.z1;
    }

    void include(const IntBox& box) {
        if (!found_) {
            bounds_ = box;
            found_ = true;
            return;
        }
        bounds_ = IntBox{std::min(bounds_.x0, box.x0), std::min(bounds_.y0, box.y0), std::min(bounds_.z0, box.z0),
                         std::max(bounds_.x1, box.x1), std::max(bounds_.y1, box.y1), std::max(bounds_.z1, box.z1)};
    }

    const VoxelGrid& grid_;
    IntBox bounds_;
    bool found_ = false;
};

}  // namespace

std::optional<IntBox> solid_voxel_bounds(const VoxelGrid& grid) { return BoundsSearch(grid).run(); }
