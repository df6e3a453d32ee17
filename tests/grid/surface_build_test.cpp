// The full build of a vertex set against a brute-force walk over every voxel.
#include <gtest/gtest.h>

#include "grid/World.h"
#include "surface_model.h"

using namespace surface_model;

namespace {

TEST(SurfaceBuild, UniformGridsHaveNoSurface) {
    for (long levels : {2L, 3L})
        for (bool solid : {true, false})
            for (uint32_t flag : {0u, 1u}) {
                World world;
                world.remove_voxel(40, 40, 40);  // something for the new set to replace
                install_grid(world, std::make_unique<VoxelGrid>(levels, solid), flag);
                EXPECT_TRUE(world.vertices().empty()) << levels << " levels, solid " << solid << ", flag " << flag;
                EXPECT_EQ(world.vertices().levels(), uint32_t(levels));
            }
}

TEST(SurfaceBuild, MatchesBruteForceOnRandomGrids) {
    std::mt19937 random(11);
    for (uint32_t levels : {2u, 3u}) {
        const uint32_t limit = levels == 2 ? 64 : 128;
        for (int round = 0; round < (levels == 2 ? 6 : 3); ++round) {
            const auto grid = random_grid(levels, random, limit);
            const Snapshot expected = brute_force_snapshot(*grid, limit);
            EXPECT_GT(expected.size(), 100u);
            for (uint32_t flag : {0u, 1u}) {
                ASSERT_TRUE(same(built_snapshot(*grid, flag), expected)) << levels << " levels, round " << round;
            }
        }
    }
}

}  // namespace
