#include "render/BoxContents.h"

#include <algorithm>

namespace {

// The words that stand for a cell.
enum CellWord : uint64_t { kClear = 0, kSolid = 1, kSubdivided = 2, kMissing = 3 };

class BoxDescriber {
public:
    BoxDescriber(const VoxelGrid& grid, const IntBox& box, std::vector<uint64_t>& out)
        : grid_(grid), box_(box), out_(out) {}

    // The children of the node of `level` whose lowest voxel is (x, y, z).
    void describe_node(const GridNode& node, uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        const uint32_t shift = 3 * (grid_.leaf_level() - level);  // log2 of a child's side
        uint32_t first[3], last[3];
        const uint32_t origin[3] = {x, y, z};
        for (uint32_t axis = 0; axis < 3; ++axis) {
            first[axis] = (std::max(box_.lower(axis), origin[axis]) - origin[axis]) >> shift;
            last[axis] = (std::min(box_.upper(axis), origin[axis] + (8u << shift) - 1) - origin[axis]) >> shift;
        }
        for (uint32_t cz = first[2]; cz <= last[2]; ++cz)
            for (uint32_t cy = first[1]; cy <= last[1]; ++cy)
                for (uint32_t cx = first[0]; cx <= last[0]; ++cx) {
                    const ChildIndex c{cx, cy, cz};
                    if (!node.subdivided.test(c)) {
                        out_.push_back(node.solid.test(c) ? kSolid : kClear);
                        continue;
                    }
                    describe_child(level + 1, x + (cx << shift), y + (cy << shift), z + (cz << shift));
                }
    }

private:
    void describe_child(uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        const CellKey key = grid_.key_of(x, y, z, level);
        if (level == grid_.leaf_level()) {
            const LeafBlock* leaf = VoxelGrid::find_entry(grid_.leaf_map(), key);
            if (leaf == nullptr) {
                out_.push_back(kMissing);
                return;
            }
            out_.push_back(kSubdivided);
            const uint32_t* words = leaf->bits.words;
            for (uint32_t i = 0; i < BitPlane::kWordCount; i += 2) out_.push_back(uint64_t(words[i + 1]) << 32 | words[i]);
            return;
        }
        const GridNode* node = VoxelGrid::find_entry(grid_.node_map(level), key);
        if (node == nullptr) {
            out_.push_back(kMissing);
            return;
        }
        out_.push_back(kSubdivided);
        describe_node(*node, level, x, y, z);
    }

    const VoxelGrid& grid_;
    const IntBox& box_;
    std::vector<uint64_t>& out_;
};

}  // namespace

void describe_box_contents(const VoxelGrid& grid, const IntBox& box, std::vector<uint64_t>& out) {
    out.clear();
    if (!box.fits_within(grid.side())) return;
    BoxDescriber(grid, box, out).describe_node(grid.root(), 0, 0, 0, 0);
}
