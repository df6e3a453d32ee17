// The surface vertex set on random grids: the full build against a
// brute-force walk over every voxel, the neighbours of single points against
// the triangle edges read voxel by voxel, and the set kept up to date edit by
// edit against a fresh build.
#include <gtest/gtest.h>

#include "grid/SurfaceMaintenance.h"
#include "grid/World.h"
#include "surface_model.h"

using namespace surface_model;

namespace {

// Sets or clears random voxels of a small cube inside [lo, hi), then updates
// the surface as the world's edits do: additions through
// update_after_additions; removals through update_neighbourhood, then
// update_point with removal on each removed voxel.
void random_edit(World& world, std::mt19937& random, uint32_t lo, uint32_t hi) {
    const uint32_t w = 2 + below(random, 5);
    const uint32_t x = lo + below(random, hi - lo - w), y = lo + below(random, hi - lo - w),
                   z = lo + below(random, hi - lo - w);
    const bool adding = random() % 2 == 0;
    Points changed;
    for (uint32_t i = 1 + below(random, 2 * w * w); i > 0; --i) {
        const VoxelPosition p{x + below(random, w), y + below(random, w), z + below(random, w)};
        const bool was_solid = adding ? world.grid().set_voxel(p.x, p.y, p.z) : world.grid().clear_voxel(p.x, p.y, p.z);
        if (was_solid != adding) changed.push_back(p);
    }
    if (adding) {
        update_after_additions(world, changed);
    } else {
        update_neighbourhood(world, changed);
        for (const VoxelPosition& p : changed) update_point(world, p.x, p.y, p.z, true);
    }
}

TEST(Surface, BuildNeighboursAndUpkeepMatchTheirModelsOnRandomGrids) {
    std::mt19937 random(11);
    for (uint32_t levels : {2u, 2u, 2u, 2u, 2u, 3u, 3u}) {
        const uint32_t limit = levels == 2 ? 64 : 128;
        World world;
        install_grid(world, random_grid(levels, random, limit), random() % 2);
        const VoxelGrid& grid = world.grid();
        const Snapshot expected = brute_force_snapshot(grid, limit);
        ASSERT_GT(expected.size(), 100u);
        for (uint32_t flag : {0u, 1u}) ASSERT_TRUE(same(built_snapshot(grid, flag), expected)) << levels << " levels";

        auto solid = [&](uint32_t x, uint32_t y, uint32_t z) { return grid.get_voxel(x, y, z); };
        for (int i = 0; i < 30000; ++i) {
            const uint32_t x = 1 + below(random, limit - 2), y = 1 + below(random, limit - 2), z = 1 + below(random, limit - 2);
            const SurfaceNeighbours found = collect_surface_neighbours(grid, x, y, z);
            ASSERT_EQ(Points(found.begin(), found.end()), model_neighbours(solid, x, y, z)) << text({x, y, z});
        }
        // Well inside the safe range, so the build covers every point touched.
        for (int step = 0; step < (levels == 2 ? 40 : 20); ++step) {
            random_edit(world, random, 6, limit - 6);
            ASSERT_TRUE(same(snapshot(world.vertices()), built_snapshot(grid, world.boundary_flag()))) << "step " << step;
        }
    }
}

// The points around the given ones, once each in z, y, x order, leaving out
// the given points, the grid's outermost layer (whose neighbours would wrap
// to the opposite face) and what lies beyond it.
TEST(NeighbourhoodPoints, AreTheNeighboursOfTheGivenPointsOnceInZyxOrder) {
    Points expected;
    for (uint32_t z = 4; z <= 6; ++z)
        for (uint32_t y = 4; y <= 6; ++y)
            for (uint32_t x = 4; x <= 7; ++x)
                if (y != 5 || z != 5 || x < 5 || x > 6) expected.push_back({x, y, z});
    EXPECT_EQ(neighbourhood_points({{6, 5, 5}, {5, 5, 5}, {6, 5, 5}}, 512), expected);
    EXPECT_EQ(neighbourhood_points({{0, 0, 0}}, 64), (Points{{1, 1, 1}}));
    EXPECT_EQ(neighbourhood_points({{1, 10, 62}}, 64).size(), 2u * 3 * 2 - 1);
}

}  // namespace
