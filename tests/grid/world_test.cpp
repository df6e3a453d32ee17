// The World's start and the replacement of its grid.
#include <gtest/gtest.h>

#include <stdexcept>

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

}  // namespace
