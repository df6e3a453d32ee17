#include "grid/VertexSetBuilder.h"

#include <array>
#include <unordered_map>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/SurfaceMaintenance.h"
#include "grid/VoxelGrid.h"

NeighbourClasses classify_neighbours(const VoxelGrid& grid, uint32_t depth, uint32_t x, uint32_t y, uint32_t z,
                                     uint32_t boundary_flag) {
    const uint32_t side = grid.side();
    const uint32_t w = side >> (3 * depth);
    NeighbourClasses classes;
    for (int dz = -1; dz <= 1; ++dz) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx == 0 && dy == 0 && dz == 0) continue;
                // Below 0 wraps to a value above side, so one test covers both faces.
                const uint32_t nx = x + static_cast<uint32_t>(dx) * w;
                const uint32_t ny = y + static_cast<uint32_t>(dy) * w;
                const uint32_t nz = z + static_cast<uint32_t>(dz) * w;
                CellState state;
                if (nx >= side || ny >= side || nz >= side) {
                    state = boundary_flag != 0 ? CellState::Solid : CellState::Clear;
                } else {
                    state = grid.cell_state(nx, ny, nz, depth);
                }
                if (state == CellState::Subdivided) {
                    ++classes.subdivided;
                } else if (state == CellState::Solid) {
                    ++classes.solid;
                } else {
                    ++classes.clear;
                }
            }
        }
    }
    return classes;
}

namespace {

// The leaf blocks by key. The leaf map's buckets grow long in big grids (its
// hash has only 766 values), so the build looks its blocks up here instead.
class LeafIndex {
public:
    explicit LeafIndex(const VoxelGrid& grid) {
        blocks_.reserve(grid.leaf_map().size());
        grid.leaf_map().for_each([this](const LeafMap::Entry& entry) { blocks_.emplace(entry.key.value(), &entry.value); });
    }

    const LeafBlock* find(CellKey key) const {
        const auto it = blocks_.find(key.value());
        return it == blocks_.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<uint64_t, const LeafBlock*> blocks_;
};

// The solid voxels of one leaf-sized block (8 x 8 x 8 voxels from `origin`)
// and of the one-voxel rim around it: everything the neighbourhoods of the
// block's voxels read, fetched block by block instead of voxel by voxel. Held
// as rows along x of 10 bits; bit 0 is the rim below the block, bits 1 .. 8
// the block, bit 9 the rim above.
class BlockWindow {
public:
    void load(const VoxelGrid& grid, const LeafIndex& leaves, VoxelPosition origin) {
        origin_ = origin;
        std::array<BlockRows, 27> blocks;
        for (uint32_t b = 0; b < 27; ++b) {
            const uint32_t bx = origin.x + 8u * static_cast<uint32_t>(neighbourhood_dx(b));
            const uint32_t by = origin.y + 8u * static_cast<uint32_t>(neighbourhood_dy(b));
            const uint32_t bz = origin.z + 8u * static_cast<uint32_t>(neighbourhood_dz(b));
            const LeafBlock* leaf = leaves.find(grid.key_of(bx, by, bz, grid.leaf_level()));
            blocks[b] = BlockRows{leaf, leaf == nullptr && grid.cell_state(bx, by, bz, grid.levels() - 1) == CellState::Solid};
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
            if (const LeafBlock* leaf = leaves_.find(grid_.key_of(cell.x, cell.y, cell.z, depth))) {
                visit_leaf(*leaf, cell);
            }
        } else if (const GridNode* node = grid_.find_node(cell.x, cell.y, cell.z, depth)) {
            visit_node(*node, depth, cell);
        }
    }

    void visit_solid(uint32_t depth, VoxelPosition cell) {
        if (!classify_neighbours(grid_, depth, cell.x, cell.y, cell.z, boundary_flag_).buried()) {
            visit_shell(depth, cell);
        }
    }

    void visit_shell(uint32_t depth, VoxelPosition cell) {
        const uint32_t w = cell_side(depth + 1);
        if (w == 1) window_.load(grid_, leaves_, cell);
        for_each_shell_child([&](uint32_t i, uint32_t j, uint32_t k) {
            const VoxelPosition child{cell.x + i * w, cell.y + j * w, cell.z + k * w};
            if (w == 1) {
                link_voxel(child);
            } else {
                visit_solid(depth + 1, child);
            }
        });
    }

    void visit_leaf(const LeafBlock& leaf, VoxelPosition block) {
        window_.load(grid_, leaves_, block);
        for (uint32_t word = 0; word < BitPlane::kWordCount; ++word) {
            for (uint32_t bits = leaf.bits.words[word]; bits != 0; bits &= bits - 1) {
                const uint32_t n = 32 * word + static_cast<uint32_t>(__builtin_ctz(bits));
                link_voxel(VoxelPosition{block.x + (n & 7), block.y + (n >> 3 & 7), block.z + (n >> 6)});
            }
        }
    }

    // A solid voxel of the current window's block.
    void link_voxel(VoxelPosition v) {
        const uint32_t last = grid_.side() - 3;
        if (v.x < 2 || v.y < 2 || v.z < 2 || v.x > last || v.y > last || v.z > last) return;
        link_point(vertices_, surface_neighbours(window_.around(v.x, v.y, v.z), v.x, v.y, v.z), v.x, v.y, v.z,
                   false);
    }

    SurfaceVertexSet& vertices_;
    const VoxelGrid& grid_;
    const LeafIndex leaves_;
    const uint32_t boundary_flag_;
    BlockWindow window_;
};

}  // namespace

void build_vertex_set(SurfaceVertexSet& vertices, const VoxelGrid& grid, uint32_t boundary_flag) {
    VertexSetBuilder(vertices, grid, boundary_flag).build();
}
