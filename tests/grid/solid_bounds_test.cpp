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

// Random single voxels and whole aligned blocks (which collapse into
// uniform children), set and cleared, on clear grids of 2 and 3 levels.
TEST(SolidBounds, MatchesEverySolidVoxelOnRandomGrids) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        VoxelGrid grid(2 + round % 2, false);
        std::set<Voxel> solid;
        const uint32_t side = grid.side();
        for (int step = 0; step < 60; ++step) {
            const bool adding = random() % 3 != 0;
            const uint32_t block = random() % 4 == 0 ? (random() % 2 == 0 ? 8u : 2u) : 1u;
            const uint32_t x = random() % side / block * block, y = random() % side / block * block,
                           z = random() % side / block * block;
            for (uint32_t i = 0; i < block * block * block; ++i) {
                const Voxel v{x + i % block, y + i / block % block, z + i / (block * block)};
                adding ? grid.set_voxel(std::get<0>(v), std::get<1>(v), std::get<2>(v)) : grid.clear_voxel(std::get<0>(v), std::get<1>(v), std::get<2>(v));
                adding ? void(solid.insert(v)) : void(solid.erase(v));
            }
            std::optional<IntBox> expected;
            for (const auto& [vx, vy, vz] : solid) {
                const IntBox b = expected.value_or(IntBox{vx, vy, vz, vx, vy, vz});
                expected = IntBox{std::min(b.x0, vx), std::min(b.y0, vy), std::min(b.z0, vz), std::max(b.x1, vx), std::max(b.y1, vy), std::max(b.z1, vz)};
            }
            ASSERT_TRUE(solid_voxel_bounds(grid) == expected) << "round " << round << " step " << step;
        }
    }
    // A solid grid spans itself, even with a corner cleared.
    VoxelGrid solid_grid(3, true);
    solid_grid.clear_voxel(0, 0, 0);
    EXPECT_EQ(solid_voxel_bounds(solid_grid), (IntBox{0, 0, 0, 511, 511, 511}));
}

}  // namespace
