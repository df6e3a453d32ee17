// The World's start and the replacement of its grid.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "grid/GridAffector.h"
#include "grid/SolidVoxelCount.h"
#include "grid/World.h"

namespace {

std::unique_ptr<VoxelGrid> clear_grid_with_cube(long levels, uint32_t at) {
    auto grid = std::make_unique<VoxelGrid>(levels, false);
    for (uint32_t i = 0; i < 8; ++i) grid->set_voxel(at + (i >> 2 & 1), at + (i >> 1 & 1), at + (i & 1));
    return grid;
}

TEST(World, StartsSolidWithoutSurface) {
    const World world;
    EXPECT_EQ(world.grid().levels(), 3u);
    EXPECT_TRUE(world.grid().get_voxel(511, 0, 7));
    EXPECT_EQ(world.boundary_flag(), 1u);
    EXPECT_TRUE(world.vertices().empty());
    EXPECT_EQ(world.vertices().levels(), 3u);
    EXPECT_TRUE(world.in_safe_range(2, 509, 2));
    EXPECT_FALSE(world.in_safe_range(1, 100, 100));
    EXPECT_FALSE(world.in_safe_range(100, 510, 100));
    EXPECT_THROW(World(nullptr, 0), std::invalid_argument);
    // A world made around a grid does not build its surface.
    EXPECT_TRUE(World(clear_grid_with_cube(3, 20), 0).vertices().empty());
}

TEST(World, InstallGridBuildsTheNewSurfaceAndDropsTheOld) {
    World world;
    install_grid(world, clear_grid_with_cube(3, 10), 0);
    EXPECT_EQ(world.vertices().size(), 8u);
    EXPECT_EQ(world.boundary_flag(), 0u);
    install_grid(world, clear_grid_with_cube(2, 30), 1);
    EXPECT_EQ(world.grid().levels(), 2u);
    EXPECT_EQ(world.vertices().levels(), 2u);
    ASSERT_EQ(world.vertices().size(), 8u);
    EXPECT_EQ(world.vertices().begin()->voxel().x, 30u);
    install_grid(world, nullptr, 0);  // changes nothing
    EXPECT_EQ(world.grid().levels(), 2u);
    EXPECT_EQ(world.vertices().size(), 8u);
    EXPECT_EQ(world.boundary_flag(), 1u);
}

// Random brush additions and removals on a clear grid with a solid slab:
// many change nothing (unsupported additions fall away, removals of clear
// voxels, voxels outside the safe range). Edits only add or only remove, so
// the voxels changed exactly when the solid count did.
TEST(World, TheChangeCountMovesExactlyWhenVoxelsChangeOrAGridIsInstalled) {
    World world;
    const auto brushes = make_grid_affectors();
    std::mt19937 random(7);
    const auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    for (int round = 0; round < 3; ++round) {
        auto grid = std::make_unique<VoxelGrid>(2, false);
        for (uint32_t x = 2; x < 40; ++x) {
            for (uint32_t z = 2; z < 40; ++z) grid->set_voxel(x, 2, z);
        }
        uint64_t count = world.change_count();
        install_grid(world, std::move(grid), 0);
        EXPECT_EQ(world.change_count(), count + 1);
        for (int edit = 0; edit < 300; ++edit) {
            const VoxelPosition at{below(64), below(8), below(64)};
            const GridAffector& brush = *brushes[below(kGridAffectorCount)];
            count = world.change_count();
            const VoxelCount solid = count_solid_voxels(world.grid());
            if (below(2) == 0) {
                brush.add_shape(world, at);
            } else {
                brush.remove_shape(world, at);
            }
            const bool changed = count_solid_voxels(world.grid()) != solid;
            // A removal counts each voxel of the shape that it cleared.
            EXPECT_EQ(world.change_count() != count, changed) << "edit " << edit;
        }
    }
}

}  // namespace
