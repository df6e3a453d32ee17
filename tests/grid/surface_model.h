#pragma once
// Models for the surface tests: neighbours read voxel by voxel and joined
// along triangle edges, a brute-force vertex set, vertex set snapshots, and
// random grids with uniform cells at several depths.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/CubeTables.h"
#include "grid/GridInvariants.h"
#include "grid/VertexSetBuilder.h"
#include "grid/VoxelGrid.h"
#include "grid/VoxelPosition.h"
#include "grid/World.h"

namespace surface_model {

using Points = std::vector<VoxelPosition>;

inline std::string text(const VoxelPosition& p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.z) + ")";
}

// The surface neighbours of a point from 64 reads of `solid(x, y, z)`.
template <typename Solid>
Points model_neighbours(Solid&& solid, uint32_t x, uint32_t y, uint32_t z) {
    Points found;
    for (uint32_t i = 0; i < 8; ++i) {
        const uint32_t ox = x - 1 + (i >> 2 & 1), oy = y - 1 + (i >> 1 & 1), oz = z - 1 + (i & 1);
        unsigned cube_case = 0;
        for (uint32_t j = 0; j < 8; ++j) cube_case |= unsigned(solid(ox + (j >> 2 & 1), oy + (j >> 1 & 1), oz + (j & 1))) << j;
        bool joined[8] = {};
        for (const CubeTriangle& t : triangles_of(cube_case))
            for (int e = 0; e < 3; ++e)
                if (t[e] == 7 - i) joined[t[(e + 1) % 3]] = joined[t[(e + 2) % 3]] = true;
        for (uint32_t k = 0; k < 8; ++k) {
            const VoxelPosition p{ox + (k >> 2 & 1), oy + (k >> 1 & 1), oz + (k & 1)};
            if (joined[k] && std::find(found.begin(), found.end(), p) == found.end()) found.push_back(p);
        }
    }
    return found;
}

// Every vertex with its neighbours in order.
using Snapshot = std::map<VoxelPosition, Points, ZyxOrder>;

// With `safe_side` given, only vertices in the safe range of that side: the
// full build links only points of the range, while an edit at its edge also
// updates the points just beyond it.
inline Snapshot snapshot(const SurfaceVertexSet& vertices, uint32_t safe_side = 0) {
    Snapshot result;
    for (const SurfaceVertex& v : vertices) {
        const VoxelPosition p{v.voxel().x, v.voxel().y, v.voxel().z};
        if (safe_side != 0 && (std::min({p.x, p.y, p.z}) < 2 || std::max({p.x, p.y, p.z}) > safe_side - 3)) continue;
        Points& neighbours = result[p];
        for (uint32_t i = 0; i < v.neighbour_count(); ++i) {
            const VertexCoordinates n = vertices.neighbour(v, i).voxel();
            neighbours.push_back(VoxelPosition{n.x, n.y, n.z});
        }
    }
    return result;
}

inline Snapshot built_snapshot(const VoxelGrid& grid, uint32_t flag, uint32_t safe_side = 0) {
    SurfaceVertexSet vertices(grid.levels());
    build_vertex_set(vertices, grid, flag);
    return snapshot(vertices, safe_side);
}

inline ::testing::AssertionResult same(const Snapshot& actual, const Snapshot& expected) {
    const auto m = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    if (m.first == actual.end() && m.second == expected.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "first difference at " << text((m.first != actual.end() ? m.first : m.second)->first);
}

// Inside the safe range, the world's vertex set equals a fresh build.
inline ::testing::AssertionResult surface_is_current(const World& world) {
    const uint32_t side = world.grid().side();
    return same(snapshot(world.vertices(), side), built_snapshot(world.grid(), world.boundary_flag(), side));
}

// Brute force over every voxel of the safe range. The grid must be uniform
// from `limit` on, on every axis; it is read into a dense array first.
inline Snapshot brute_force_snapshot(const VoxelGrid& grid, uint32_t limit) {
    const uint32_t n = std::min(limit + 2, grid.side());
    std::vector<bool> dense(size_t(n) * n * n);
    auto at = [n](uint32_t x, uint32_t y, uint32_t z) { return (size_t(z) * n + y) * n + x; };
    for (uint32_t z = 0; z < n; ++z)
        for (uint32_t y = 0; y < n; ++y)
            for (uint32_t x = 0; x < n; ++x) dense[at(x, y, z)] = grid.get_voxel(x, y, z);
    auto solid = [&](uint32_t x, uint32_t y, uint32_t z) { return bool(dense[at(x, y, z)]); };
    const uint32_t last = std::min(grid.side() - 3, n - 2);
    Snapshot result;
    for (uint32_t z = 2; z <= last; ++z)
        for (uint32_t y = 2; y <= last; ++y)
            for (uint32_t x = 2; x <= last; ++x) {
                const Points neighbours = solid(x, y, z) ? model_neighbours(solid, x, y, z) : Points();
                if (neighbours.empty()) continue;
                result[VoxelPosition{x, y, z}] = neighbours;
                for (const VoxelPosition& p : neighbours) result.emplace(p, Points());
            }
    return result;
}

inline uint32_t below(std::mt19937& random, uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

// A random grid whose content lies in [0, limit) on every axis: two root
// children flipped whole, cells of side 8 filled or emptied, and cubes of
// side 12 with random voxels toggled.
inline std::unique_ptr<VoxelGrid> random_grid(uint32_t levels, std::mt19937& random, uint32_t limit) {
    const bool base = random() % 2 == 0;
    auto grid = std::make_unique<VoxelGrid>(levels, base);
    const uint32_t root_cells = limit / (grid->side() >> 3);
    for (int i = 0; i < 2; ++i) {
        grid->root().make_uniform(ChildIndex{below(random, root_cells), below(random, root_cells), below(random, root_cells)},
                                  !base);
    }
    auto edit = [&](uint32_t x, uint32_t y, uint32_t z, bool solid) {
        solid ? grid->set_voxel(x, y, z) : grid->clear_voxel(x, y, z);
    };
    for (int i = 0; i < 6; ++i) {
        const uint32_t x = 8 * below(random, limit / 8), y = 8 * below(random, limit / 8), z = 8 * below(random, limit / 8);
        const bool solid = random() % 2 == 0;
        for (uint32_t n = 0; n < 512; ++n) edit(x + (n & 7), y + (n >> 3 & 7), z + (n >> 6), solid);
    }
    for (int i = 0; i < 12; ++i) {
        const uint32_t x = below(random, limit - 12), y = below(random, limit - 12), z = below(random, limit - 12);
        std::bernoulli_distribution solid(0.3 + 0.1 * (i % 5));
        for (int n = 0; n < 1500; ++n) edit(x + below(random, 12), y + below(random, 12), z + below(random, 12), solid(random));
    }
    EXPECT_EQ(find_grid_fault(*grid), nullptr);
    return grid;
}

}  // namespace surface_model
