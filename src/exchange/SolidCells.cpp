#include "exchange/SolidCells.h"

#include <algorithm>

#include "grid/VoxelGrid.h"

namespace {

bool intersect(const IntBox& a, const IntBox& b, IntBox& out) {
    out = IntBox{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::max(a.z0, b.z0),
                 std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::min(a.z1, b.z1)};
    return out.is_ordered();
}

// Up to 2^72 for a whole grid of 8 levels.
unsigned __int128 volume(const IntBox& b) {
    return (unsigned __int128)(b.x1 - b.x0 + 1) * (b.y1 - b.y0 + 1) * (b.z1 - b.z0 + 1);
}

class SolidWalk {
public:
    SolidWalk(const VoxelGrid& grid, const IntBox& box, const std::function<void(const IntBox&)>& visit)
        : grid_(grid), box_(box), visit_(visit) {}

    void node(const GridNode& node, uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        // Children of a level k node are 8^(levels - k - 1) voxels on a side.
        const uint32_t child_bits = 3 * (grid_.levels() - level - 1);
        const uint32_t child_side = 1u << child_bits;
        for (uint32_t cz = 0; cz < 8; ++cz) {
            for (uint32_t cy = 0; cy < 8; ++cy) {
                for (uint32_t cx = 0; cx < 8; ++cx) {
                    const uint32_t lx = x + (cx << child_bits), ly = y + (cy << child_bits), lz = z + (cz << child_bits);
                    const IntBox cell{lx, ly, lz, lx + child_side - 1, ly + child_side - 1, lz + child_side - 1};
                    IntBox part;
                    if (!intersect(cell, box_, part)) continue;
                    const CellState state = node.state(ChildIndex{cx, cy, cz});
                    if (state == CellState::Solid) {
                        visit_(part);
                    } else if (state == CellState::Subdivided) {
                        child(level + 1, lx, ly, lz);
                    }
                }
            }
        }
    }

private:
    void child(uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        if (level == grid_.leaf_level()) {
            if (const LeafBlock* leaf = grid_.find_leaf(x, y, z)) this->leaf(*leaf, x, y, z);
        } else if (const GridNode* below = grid_.find_node(x, y, z, level)) {
            node(*below, level, x, y, z);
        }
    }

    void leaf(const LeafBlock& leaf, uint32_t x, uint32_t y, uint32_t z) {
        for (uint32_t cz = 0; cz < 8; ++cz) {
            for (uint32_t cy = 0; cy < 8; ++cy) {
                const uint32_t vy = y + cy, vz = z + cz;
                if (vy < box_.y0 || vy > box_.y1 || vz < box_.z0 || vz > box_.z1) continue;
                // Runs of set bits along x.
                uint32_t cx = 0;
                while (cx < 8) {
                    if (!leaf.bits.test(ChildIndex{cx, cy, cz})) {
                        ++cx;
                        continue;
                    }
                    uint32_t end = cx;
                    while (end < 8 && leaf.bits.test(ChildIndex{end, cy, cz})) ++end;
                    IntBox part;
                    if (intersect(IntBox{x + cx, vy, vz, x + end - 1, vy, vz}, box_, part)) visit_(part);
                    cx = end;
                }
            }
        }
    }

    const VoxelGrid& grid_;
    const IntBox box_;
    const std::function<void(const IntBox&)>& visit_;
};

}  // namespace

void for_each_solid_part(const VoxelGrid& grid, const IntBox& box, const std::function<void(const IntBox&)>& visit) {
    IntBox clipped;
    const uint32_t last = grid.side() - 1;
    if (!intersect(box, IntBox{0, 0, 0, last, last, last}, clipped)) return;
    SolidWalk(grid, clipped, visit).node(grid.root(), 0, 0, 0, 0);
}

uint64_t count_solid_in_box(const VoxelGrid& grid, const IntBox& box) {
    unsigned __int128 total = 0;
    for_each_solid_part(grid, box, [&](const IntBox& part) { total += volume(part); });
    return total > UINT64_MAX ? UINT64_MAX : uint64_t(total);
}
