// The surface vertex set on random grids: the full build against a
// brute-force walk over every voxel, and the neighbours of single points
// against the triangle edges read voxel by voxel. (The set kept up to date
// edit by edit: the brush and history tests.)
#include <gtest/gtest.h>

#include "grid/SurfaceMaintenance.h"
#include "surface_model.h"

using namespace surface_model;

namespace {

TEST(Surface, BuildAndNeighboursMatchTheirModelsOnRandomGrids) {
    std::mt19937 random(11);
    for (uint32_t levels : {2u, 2u, 2u, 2u, 2u, 3u, 3u}) {
        const uint32_t limit = levels == 2 ? 64 : 128;
        const auto made = random_grid(levels, random, limit);
        const VoxelGrid& grid = *made;
        const Snapshot expected = brute_force_snapshot(grid, limit);
        ASSERT_GT(expected.size(), 100u);
        for (uint32_t flag : {0u, 1u}) ASSERT_TRUE(same(built_snapshot(grid, flag), expected)) << levels << " levels";

        auto solid = [&](uint32_t x, uint32_t y, uint32_t z) { return grid.get_voxel(x, y, z); };
        for (int i = 0; i < 30000; ++i) {
            const uint32_t x = 1 + below(random, limit - 2), y = 1 + below(random, limit - 2), z = 1 + below(random, limit - 2);
            const SurfaceNeighbours found = collect_surface_neighbours(grid, x, y, z);
            ASSERT_EQ(Points(found.begin(), found.end()), model_neighbours(solid, x, y, z)) << text({x, y, z});
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
