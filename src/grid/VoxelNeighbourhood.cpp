#include "grid/VoxelNeighbourhood.h"

#include "grid/VoxelGrid.h"

namespace {

// One leaf-sized block: its leaf when it has one, else its uniform state.
struct BlockContents {
    uint64_t key = 0;
    const LeafBlock* leaf = nullptr;
    bool solid = false;
};

// The at most eight blocks that a 3 x 3 x 3 neighbourhood touches.
class BlockCache {
public:
    explicit BlockCache(const VoxelGrid& grid) : grid_(grid) {}

    bool get_voxel(uint32_t x, uint32_t y, uint32_t z) {
        const BlockContents& block = find(x, y, z);
        if (block.leaf == nullptr) return block.solid;
        return block.leaf->bits.test(grid_.child_index(x, y, z, grid_.leaf_level()));
    }

private:
    const BlockContents& find(uint32_t x, uint32_t y, uint32_t z) {
        const uint64_t key = grid_.key_of(x, y, z, grid_.leaf_level()).value();
        for (uint32_t i = 0; i < count_; ++i) {
            if (blocks_[i].key == key) return blocks_[i];
        }
        BlockContents& block = blocks_[count_ < kCapacity ? count_++ : kCapacity - 1];
        block.key = key;
        block.leaf = grid_.find_leaf(x, y, z);
        // Without a leaf the block is uniform: its cell one level up says which.
        block.solid = block.leaf == nullptr && grid_.cell_state(x, y, z, grid_.levels() - 1) == CellState::Solid;
        return block;
    }

    static constexpr uint32_t kCapacity = 8;
    const VoxelGrid& grid_;
    BlockContents blocks_[kCapacity];
    uint32_t count_ = 0;
};

}  // namespace

NeighbourhoodBits read_neighbourhood(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
    BlockCache blocks(grid);
    NeighbourhoodBits bits = 0;
    for (uint32_t bit = 0; bit < kNeighbourhoodSize; ++bit) {
        const uint32_t vx = x + static_cast<uint32_t>(neighbourhood_dx(bit));
        const uint32_t vy = y + static_cast<uint32_t>(neighbourhood_dy(bit));
        const uint32_t vz = z + static_cast<uint32_t>(neighbourhood_dz(bit));
        if (blocks.get_voxel(vx, vy, vz)) bits |= NeighbourhoodBits(1) << bit;
    }
    return bits;
}
