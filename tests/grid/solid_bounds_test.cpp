// The solid voxels' bounds read from the hierarchy, against a plain record of
// every solid voxel.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <set>
#include <tuple>

#include "grid/SolidBounds.h"
#include "grid/VoxelGrid.h"

namespace {

using Voxel = std::tuple<uint32_t, uint32_t, uint32_t>;

std::optional<IntBox> bounds_of(const std::set<Voxel>& solid) {
    if (solid.empty()) return std::nullopt;
    IntBox box{~0u, ~0u, ~0u, 0, 0, 0};
    for (const auto& [x, y, z] : solid) {
        box = IntBox{std::min(box.x0, x), std::min(box.y0, y), std::min(box.z0, z),
                     std::max(box.x1, x), std::max(box.y1, y), std::max(box.z1, z)};
    }
    return box;
}

// Random single voxels and whole aligned blocks (which collapse into
// uniform children), set and cleared, on clear grids of 2 and 3 levels.
TEST(SolidBounds, MatchesEverySolidVoxelOnRandomGrids) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        const long levels = 2 + round % 2;
        VoxelGrid grid(levels, false);
        std::set<Voxel> solid;
        const uint32_t side = grid.side();
        for (int step = 0; step < 60; ++step) {
            const bool adding = random() % 3 != 0;
            const uint32_t block = random() % 4 == 0 ? (random() % 2 == 0 ? 8u : 2u) : 1u;
            const uint32_t x = random() % side / block * block;
            const uint32_t y = random() % side / block * block;
            const uint32_t z = random() % side / block * block;
            for (uint32_t i = 0; i < block * block * block; ++i) {
                const Voxel v{x + i % block, y + i / block % block, z + i / (block * block)};
                if (adding) {
                    grid.set_voxel(std::get<0>(v), std::get<1>(v), std::get<2>(v));
                    solid.insert(v);
                } else {
                    grid.clear_voxel(std::get<0>(v), std::get<1>(v), std::get<2>(v));
                    solid.erase(v);
                }
            }
            const std::optional<IntBox> expected = bounds_of(solid);
            const std::optional<IntBox> found = solid_voxel_bounds(grid);
            ASSERT_EQ(found.has_value(), expected.has_value()) << "round " << round << " step " << step;
            if (expected) {
                ASSERT_EQ(*found, *expected) << "round " << round << " step " << step;
            }
        }
    }
    // A solid grid spans itself, even with a corner cleared.
    VoxelGrid solid_grid(3, true);
    solid_grid.clear_voxel(0, 0, 0);
    EXPECT_EQ(solid_voxel_bounds(solid_grid), (IntBox{0, 0, 0, 511, 511, 511}));
}

}  // namespace
