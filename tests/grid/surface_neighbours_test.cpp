// Surface neighbours of single points, and the points a neighbourhood update
// visits.
#include <gtest/gtest.h>

#include "grid/SurfaceMaintenance.h"
#include "grid/World.h"
#include "surface_model.h"

using namespace surface_model;

namespace {

// Random points of random grids: the same points in the same order as the
// triangle edges give, read voxel by voxel.
TEST(SurfaceNeighbours, MatchTheTriangleEdgesOnRandomGrids) {
    std::mt19937 random(7);
    for (uint32_t levels : {2u, 3u}) {
        const uint32_t limit = levels == 2 ? 64 : 128;
        for (int round = 0; round < 3; ++round) {
            const auto grid = random_grid(levels, random, limit);
            auto solid = [&](uint32_t x, uint32_t y, uint32_t z) { return grid->get_voxel(x, y, z); };
            uint32_t with_neighbours = 0;
            for (int i = 0; i < 100000; ++i) {
                const uint32_t x = 1 + below(random, limit - 2), y = 1 + below(random, limit - 2),
                               z = 1 + below(random, limit - 2);
                const SurfaceNeighbours found = collect_surface_neighbours(*grid, x, y, z);
                ASSERT_EQ(Points(found.begin(), found.end()), model_neighbours(solid, x, y, z)) << text({x, y, z});
                with_neighbours += !found.empty();
            }
            EXPECT_GT(with_neighbours, levels == 2 ? 1000u : 200u);
        }
    }
}

TEST(NeighbourhoodPoints, AreTheNeighboursOfTheGivenPointsOnceInZyxOrder) {
    const Points points = neighbourhood_points({{5, 5, 5}, {6, 5, 5}}, 512);
    ASSERT_EQ(points.size(), 34u);  // 54, less 18 shared, less the 2 given
    EXPECT_TRUE(std::is_sorted(points.begin(), points.end(), ZyxOrder()));
    EXPECT_TRUE(std::adjacent_find(points.begin(), points.end()) == points.end());
    EXPECT_EQ(points.front(), (VoxelPosition{4, 4, 4}));
    EXPECT_EQ(points.back(), (VoxelPosition{7, 6, 6}));
    EXPECT_EQ(std::count(points.begin(), points.end(), VoxelPosition{6, 5, 5}), 0);
    // Repeats and order of the given points do not matter. Points beyond the
    // grid, and on its outermost layer (whose neighbours would wrap to the
    // opposite face), are left out.
    EXPECT_EQ(neighbourhood_points({{6, 5, 5}, {5, 5, 5}, {6, 5, 5}}, 512), points);
    EXPECT_EQ(neighbourhood_points({{0, 0, 0}}, 64), (Points{{1, 1, 1}}));
    EXPECT_EQ(neighbourhood_points({{1, 10, 62}}, 64).size(), 2u * 3 * 2 - 1);
}

}  // namespace
