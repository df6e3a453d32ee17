#include "grid/VertexSetBuilder.h"

#include <array>
#include <cstddef>
#include <vector>

#include "dynamics/MixingHash.h"
#include "dynamics/SurfaceVertexSet.h"
#include "grid/SurfaceNeighbours.h"
#include "grid/VoxelGrid.h"

namespace {

// The leaf blocks by key, in an open-addressing table on a seeded mixing hash:
// the leaf map's buckets grow long in big grids (its hash has only 766
// values), and keys read from a file must not be able to crowd one bucket of
// this table either.
class LeafIndex {
public:
    explicit LeafIndex(const VoxelGrid& grid) : seed_(process_hash_seed()) {
        std::size_t size = 16;
        while (size < 2 * std::size_t(grid.leaf_map().size())) size *= 2;
        slots_.assign(size, Slot{0, nullptr});
        mask_ = size - 1;
        grid.leaf_map().for_each([this](const LeafMap::Entry& entry) {
            Slot& slot = slots_[slot_of(entry.key.value())];
            if (slot.leaf == nullptr) slot = Slot{entry.key.value(), &entry.value};  // the map's first wins
        });
    }

    // What fills the leaf-sized cell at (x, y, z): its leaf block, or else
    // whether it is solid. The build asks for each cell from up to 27 places
    // close together in time, so the answers are kept in a small cache.
    struct Block {
        const LeafBlock* leaf;
        bool solid;
    };
    Block block_at(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
        const uint64_t key = grid.key_of(x, y, z, grid.leaf_level()).value();
        // Direct-mapped: a crowded line costs a miss, never a longer search.
        CachedBlock& cached = cache_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits)];
        if (!cached.valid || cached.key != key) {
            const LeafBlock* leaf = slots_[slot_of(key)].leaf;
            const bool solid = leaf == nullptr && grid.cell_state(x, y, z, grid.leaf_level()) == CellState::Solid;
            cached = CachedBlock{key, Block{leaf, solid}, true};
        }
        return cached.block;
    }

private:
    struct CachedBlock {
        uint64_t key;
        Block block;
        bool valid;
    };
    static constexpr uint32_t kCacheBits = 13;

    std::vector<CachedBlock> cache_ = std::vector<CachedBlock>(std::size_t(1) << kCacheBits, CachedBlock{0, {}, false});
    struct Slot {
        uint64_t key;
        const LeafBlock* leaf;
    };

    std::size_t slot_of(uint64_t key) const {
        std::size_t slot = mix64(key ^ seed_) & mask_;
        while (slots_[slot].leaf != nullptr && slots_[slot].key != key) slot = (slot + 1) & mask_;
        return slot;
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    uint64_t seed_;
};

// The solid voxels of one leaf-sized block (8 x 8 x 8 voxels from `origin`)
// and of the one-voxel rim around it: everything the neighbourhoods of the
// block's voxels read, fetched block by block instead of voxel by voxel. Held
// as rows along x of 10 bits; bit 0 is the rim below the block, bits 1 .. 8
// the block, bit 9 the rim above.
class BlockWindow {
public:
    void load(const VoxelGrid& grid, LeafIndex& leaves, VoxelPosition origin) {
        origin_ = origin;
        std::array<BlockRows, 27> blocks;
        for (uint32_t b = 0; b < 27; ++b) {
            const uint32_t bx = origin.x + 8u * static_cast<uint32_t>(neighbourhood_dx(b));
            const uint32_t by = origin.y + 8u * static_cast<uint32_t>(neighbourhood_dy(b));
            const uint32_t bz = origin.z + 8u * static_cast<uint32_t>(neighbourhood_dz(b));
            const LeafIndex::Block block = leaves.block_at(grid, bx, by, bz);
            blocks[b] = BlockRows{block.leaf, block.solid};
        }
        // Window index w = 0 falls in the block below, 1 .. 8 in the block
        // itself, 9 in the block above; (w + 7) & 7 is the index inside it.
        for (uint32_t wz = 0; wz < kSide; ++wz) {
            for (uint32_t wy = 0; wy < kSide; ++wy) {
                const uint32_t part = 3 * part_of(wy) + 9 * part_of(wz);
                const uint32_t ly = (wy + 7) & 7, lz = (wz + 7) & 7;
                const uint32_t below = blocks[part].row(ly, lz) >> 7;
                const uint32_t inside = blocks[part + 1].row(ly, lz);
                const uint32_t above = blocks[part + 2].row(ly, lz) & 1u;
                rows_[wz][wy] = static_cast<uint16_t>(below | inside << 1 | above << 9);
            }
        }
    }

    // The neighbourhood of a voxel of the block.
    NeighbourhoodBits around(uint32_t x, uint32_t y, uint32_t z) const {
        const uint32_t cx = x - origin_.x, cy = y - origin_.y, cz = z - origin_.z;
        NeighbourhoodBits bits = 0;
        for (uint32_t dz = 0; dz < 3; ++dz) {
            for (uint32_t dy = 0; dy < 3; ++dy) {
                bits |= NeighbourhoodBits(rows_[cz + dz][cy + dy] >> cx & 7u) << (3 * dy + 9 * dz);
            }
        }
        return bits;
    }

    // The solid voxels of the block's row (cy, cz) that are not wholly
    // surrounded by solid voxels, bit cx for voxel cx: the only ones that can
    // have surface neighbours, found for eight voxels at once.
    uint32_t exposed_row(uint32_t cy, uint32_t cz) const {
        uint32_t around = 0x3FFu;
        for (uint32_t dz = 0; dz < 3; ++dz)
            for (uint32_t dy = 0; dy < 3; ++dy) around &= rows_[cz + dz][cy + dy];
        const uint32_t buried = around & around >> 1 & around >> 2;
        return (rows_[cz + 1][cy + 1] >> 1) & ~buried & 0xFFu;
    }

    const VoxelPosition& origin() const { return origin_; }

private:
    // A block's voxels along x, one byte per row: the leaf's byte ly + 8 lz,
    // or a whole row of the uniform state.
    struct BlockRows {
        const LeafBlock* leaf;
        bool solid;

        uint32_t row(uint32_t ly, uint32_t lz) const {
            if (leaf == nullptr) return solid ? 0xFFu : 0u;
            const uint32_t byte = ly + 8 * lz;
            return leaf->bits.words[byte >> 2] >> (8 * (byte & 3)) & 0xFFu;
        }
    };

    static constexpr uint32_t kSide = 10;
    static uint32_t part_of(uint32_t w) { return w == 0 ? 0 : (w == kSide - 1 ? 2 : 1); }

    VoxelPosition origin_;
    uint16_t rows_[kSide][kSide] = {};
};

// Calls visit(i, j, k) for the 296 children of a cell that touch its faces:
// the faces without their rims (z, y, x), the corners, then the edges along
// y, z and x.
template <typename Visit>
void for_each_shell_child(Visit&& visit) {
    constexpr uint32_t kFaces[2] = {0, 7};
    for (uint32_t k : kFaces)
        for (uint32_t j = 1; j <= 6; ++j)
            for (uint32_t i = 1; i <= 6; ++i) visit(i, j, k);
    for (uint32_t j : kFaces)
        for (uint32_t i = 1; i <= 6; ++i)
            for (uint32_t k = 1; k <= 6; ++k) visit(i, j, k);
    for (uint32_t i : kFaces)
        for (uint32_t k = 1; k <= 6; ++k)
            for (uint32_t j = 1; j <= 6; ++j) visit(i, j, k);
    for (uint32_t k : kFaces)
        for (uint32_t j : kFaces)
            for (uint32_t i : kFaces) visit(i, j, k);
    for (uint32_t k : kFaces)
        for (uint32_t i : kFaces)
            for (uint32_t j = 1; j <= 6; ++j) visit(i, j, k);
    for (uint32_t j : kFaces)
        for (uint32_t i : kFaces)
            for (uint32_t k = 1; k <= 6; ++k) visit(i, j, k);
    for (uint32_t k : kFaces)
        for (uint32_t j : kFaces)
            for (uint32_t i = 1; i <= 6; ++i) visit(i, j, k);
}

class VertexSetBuilder {
public:
    VertexSetBuilder(SurfaceVertexSet& vertices, const VoxelGrid& grid, uint32_t boundary_flag)
        : vertices_(vertices), grid_(grid), leaves_(grid), boundary_flag_(boundary_flag) {}

    void build() { visit_node(grid_.root(), 0, VoxelPosition{}); }

private:
    uint32_t cell_side(uint32_t depth) const { return grid_.side() >> (3 * depth); }

    // The children of the level `level` node whose lowest voxel is `origin`.
    void visit_node(const GridNode& node, uint32_t level, VoxelPosition origin) {
        const uint32_t depth = level + 1;  // of the children
        const uint32_t w = cell_side(depth);
        for (uint32_t k = 0; k < 8; ++k) {
            for (uint32_t j = 0; j < 8; ++j) {
                for (uint32_t i = 0; i < 8; ++i) {
                    const VoxelPosition child{origin.x + i * w, origin.y + j * w, origin.z + k * w};
                    switch (node.state(ChildIndex{i, j, k})) {
                        case CellState::Subdivided:
                            visit_subdivided(depth, child);
                            break;
                        case CellState::Solid:
                            visit_solid(depth, child);
                            break;
                        case CellState::Clear:
                            break;
                    }
                }
            }
        }
    }

    void visit_subdivided(uint32_t depth, VoxelPosition cell) {
        if (depth == grid_.leaf_level()) {
            if (const LeafBlock* leaf = leaves_.block_at(grid_, cell.x, cell.y, cell.z).leaf) {
                visit_leaf(*leaf, cell);
            }
        } else if (const GridNode* node = grid_.find_node(cell.x, cell.y, cell.z, depth)) {
            visit_node(*node, depth, cell);
        }
    }

    // Bit b of a neighbour mask stands for the neighbour cell at offset b
    // (neighbourhood_bit numbering); the cell itself is always set.
    static constexpr uint32_t kAllSolid = (1u << kNeighbourhoodSize) - 1;

    void visit_solid(uint32_t depth, VoxelPosition cell) {
        const uint32_t solid = solid_neighbours(depth, cell);
        if (solid != kAllSolid) visit_shell(depth, cell, solid);
    }

    // Which of the 26 cells of the same depth around a cell are wholly solid;
    // those beyond the grid count as the boundary flag says. A cell among
    // only solid cells is buried.
    uint32_t solid_neighbours(uint32_t depth, VoxelPosition cell) {
        const uint32_t side = grid_.side(), w = cell_side(depth);
        uint32_t solid = 1u << kNeighbourhoodCentre;
        for (uint32_t b = 0; b < kNeighbourhoodSize; ++b) {
            if (b == kNeighbourhoodCentre) continue;
            const uint32_t x = cell.x + w * static_cast<uint32_t>(neighbourhood_dx(b));
            const uint32_t y = cell.y + w * static_cast<uint32_t>(neighbourhood_dy(b));
            const uint32_t z = cell.z + w * static_cast<uint32_t>(neighbourhood_dz(b));
            bool is_solid;
            if (x >= side || y >= side || z >= side) {
                is_solid = boundary_flag_ != 0;
            } else if (depth == grid_.leaf_level()) {
                is_solid = leaves_.block_at(grid_, x, y, z).solid;
            } else {
                is_solid = grid_.cell_state(x, y, z, depth) == CellState::Solid;
            }
            if (is_solid) solid |= 1u << b;
        }
        return solid;
    }

    // True when the parent's neighbours tell that shell child (i, j, k) of a
    // solid cell is buried: every cell around the child lies either inside the
    // parent or inside a solid neighbour of the parent.
    static bool buried_in_parent(uint32_t i, uint32_t j, uint32_t k, uint32_t parent_solid) {
        for (int dz = k == 0 ? -1 : 0; dz <= (k == 7 ? 1 : 0); ++dz)
            for (int dy = j == 0 ? -1 : 0; dy <= (j == 7 ? 1 : 0); ++dy)
                for (int dx = i == 0 ? -1 : 0; dx <= (i == 7 ? 1 : 0); ++dx)
                    if ((parent_solid >> neighbourhood_bit(dx, dy, dz) & 1u) == 0) return false;
        return true;
    }

    void visit_shell(uint32_t depth, VoxelPosition cell, uint32_t solid) {
        const uint32_t w = cell_side(depth + 1);
        if (w == 1) {
            // The cell's inside voxels are buried: the block scan skips them.
            link_block(cell);
            return;
        }
        for_each_shell_child([&](uint32_t i, uint32_t j, uint32_t k) {
            if (buried_in_parent(i, j, k, solid)) return;
            visit_solid(depth + 1, VoxelPosition{cell.x + i * w, cell.y + j * w, cell.z + k * w});
        });
    }

    void visit_leaf(const LeafBlock&, VoxelPosition block) { link_block(block); }

    // Links every exposed voxel of the leaf-sized block at `block`: first the
    // neighbours of each, then the vertices of all the points they name, in
    // one batch, then the links.
    void link_block(VoxelPosition block) {
        window_.load(grid_, leaves_, block);
        ++generation_;
        pending_.clear();
        needed_.clear();
        needed_slots_.clear();
        const uint32_t last = grid_.side() - 3;
        for (uint32_t cz = 0; cz < 8; ++cz) {
            for (uint32_t cy = 0; cy < 8; ++cy) {
                for (uint32_t row = window_.exposed_row(cy, cz); row != 0; row &= row - 1) {
                    const VoxelPosition v{block.x + static_cast<uint32_t>(__builtin_ctz(row)), block.y + cy,
                                          block.z + cz};
                    if (v.x < 2 || v.y < 2 || v.z < 2 || v.x > last || v.y > last || v.z > last) continue;
                    PendingVoxel& p = pending_.emplace_back();
                    p.slot = window_slot(v);
                    p.count = static_cast<uint8_t>(surface_neighbour_bits(window_.around(v.x, v.y, v.z), p.bits));
                    if (p.count == 0) {
                        pending_.pop_back();
                        continue;
                    }
                    for (uint32_t i = 0; i < p.count; ++i) note_needed(p.slot + kSlotStep[p.bits[i]]);
                    note_needed(p.slot);
                }
            }
        }
        found_.resize(needed_.size());
        vertices_.find_or_create_indices(needed_.data(), needed_.size(), found_.data());
        for (uint32_t i = 0; i < needed_.size(); ++i) known_[needed_slots_[i]] = found_[i];
        for (const PendingVoxel& p : pending_) {
            VertexIndex linked[26];
            for (uint32_t i = 0; i < p.count; ++i) linked[i] = known_[p.slot + kSlotStep[p.bits[i]]];
            vertices_.set_neighbours(known_[p.slot], p.count, linked);
        }
    }

    // Window points are numbered x + 10 y + 100 z from the window's corner.
    uint32_t window_slot(const VoxelPosition& p) const {
        const VoxelPosition& o = window_.origin();
        return (p.x + 1 - o.x) + 10 * (p.y + 1 - o.y) + 100 * (p.z + 1 - o.z);
    }

    // Lists a point of the current window for the batch, once.
    void note_needed(uint32_t slot) {
        if (seen_[slot] == generation_) return;
        seen_[slot] = generation_;
        const VoxelPosition& o = window_.origin();
        needed_.push_back(VertexCoordinates{o.x - 1 + slot % 10, o.y - 1 + slot / 10 % 10, o.z - 1 + slot / 100});
        needed_slots_.push_back(slot);
    }

    // A voxel of the current block with its neighbours as neighbourhood bits.
    struct PendingVoxel {
        uint32_t slot;
        uint8_t count;
        uint8_t bits[26];
    };

    // The window slot step of each neighbourhood bit.
    static constexpr int kSlotStep[kNeighbourhoodSize] = {
        -111, -110, -109, -101, -100, -99, -91, -90, -89, -11, -10, -9, -1, 0,
        1,    9,    10,   11,   89,   90,   91,  99,  100, 101, 109, 110, 111};

    SurfaceVertexSet& vertices_;
    const VoxelGrid& grid_;
    LeafIndex leaves_;
    const uint32_t boundary_flag_;
    BlockWindow window_;
    uint32_t generation_ = 0;   // of the current window
    uint32_t seen_[1000] = {};  // the generation in which a window point was last listed
    VertexIndex known_[1000] = {};
    std::vector<PendingVoxel> pending_;       // the current block's voxels with neighbours
    std::vector<VertexCoordinates> needed_;   // the points they name, each once
    std::vector<uint32_t> needed_slots_;      // and their window slots
    std::vector<VertexIndex> found_;
};

}  // namespace

void build_vertex_set(SurfaceVertexSet& vertices, const VoxelGrid& grid, uint32_t boundary_flag) {
    VertexSetBuilder(vertices, grid, boundary_flag).build();
}
