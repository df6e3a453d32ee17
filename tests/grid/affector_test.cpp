// The brushes and the World's edits against a model, and the edits' hard
// cases: cascades to the grid's face, interrupted additions, deep cascades.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <tuple>

#include "affector_model.h"
#include "grid/GridAffector.h"
#include "grid/GridTestSupport.h"
#include "grid/ShapeAffector.h"
#include "grid/SolidVoxelCount.h"
#include "grid/World.h"
#include "surface_model.h"

namespace {

using Points = std::vector<VoxelPosition>;

using surface_model::surface_is_current;

class Affectors : public ::testing::Test {
protected:
    const std::array<std::unique_ptr<GridAffector>, kGridAffectorCount> brushes_ = make_grid_affectors();
};

// A cascade that reaches the grid's outermost layer must not relink points
// there: their neighbourhoods would be read across the opposite face.
TEST_F(Affectors, CascadeToTheFaceLinksNothingAcrossTheGrid) {
    World world(std::make_unique<VoxelGrid>(2, false), 0);
    for (uint32_t x : {63u, 0u, 1u})  // a block that the face x = 0 splits
        for (uint32_t i = 0; i < 4; ++i) world.grid().set_voxel(x, 30 + (i & 1), 30 + (i >> 1));
    world.grid().set_voxel(1, 32, 32);
    world.grid().set_voxel(2, 32, 32);
    world.remove_voxel(2, 32, 32);
    EXPECT_EQ(world.changes(), (Points{{2, 32, 32}, {1, 32, 32}}));
    EXPECT_FALSE(world.vertices().empty());
    for (const SurfaceVertex& v : world.vertices())
        for (uint32_t i = 0; i < v.neighbour_count(); ++i) EXPECT_LE(world.vertices().neighbour(v, i).voxel().x, 2u);
}

TEST_F(Affectors, AdditionsSettleWhenTheAddLoopThrows) {
    World world(std::make_unique<VoxelGrid>(3, false), 0);
    EXPECT_THROW(world.add_and_settle([&] {
        for (uint32_t x = 10; x < 14; ++x) world.add_voxel(x, 10, 10);  // a row: unsupported
        for (uint32_t i = 0; i < 8; ++i) world.add_voxel(20 + (i >> 2 & 1), 20 + (i >> 1 & 1), 20 + (i & 1));
        throw std::runtime_error("out of memory");
    }),
                 std::runtime_error);
    EXPECT_EQ(count_solid_voxels(world.grid()), 8u);
    EXPECT_EQ(world.changes().size(), 8u);
    EXPECT_EQ(world.vertices().size(), 8u);
}

// Random strokes of every brush on grids of 2 levels against the model: the
// same change lists after every stroke, the same voxels and a current
// surface every 25 strokes. A second world removes each shape voxel by voxel,
// each voxel with its own cascade and surface update: it must keep the same
// grid, vertices, links and vertex state (every vertex is stamped with the
// stroke that made it, so one erased and made again shows).
TEST_F(Affectors, MatchTheModelOnRandomStrokes) {
    std::mt19937 random(5);
    auto stamp_new_vertices = [](World& world, uint32_t stroke) {
        for (const SurfaceVertex& v : world.vertices())
            if (v.stamp == 0) world.vertices().find(world.vertices().key_of(v))->stamp = stroke;
    };
    auto state_of = [](const World& world) {
        std::map<std::tuple<uint32_t, uint32_t, uint32_t>, uint32_t> state;
        for (const SurfaceVertex& v : world.vertices()) state[{v.voxel().x, v.voxel().y, v.voxel().z}] = v.stamp;
        return state;
    };
    for (bool solid : {false, true}) {
        World world(std::make_unique<VoxelGrid>(2, solid), solid ? 1 : 0), single(std::make_unique<VoxelGrid>(2, solid), solid ? 1 : 0);
        affector_model::ModelWorld model(64, solid);
        for (uint32_t stroke = 1; stroke <= 600; ++stroke) {
            const int k = static_cast<int>(random() % kGridAffectorCount);
            const auto& brush = dynamic_cast<const ShapeAffector&>(*brushes_[k]);
            // Now and then near the faces, where shapes are cut off.
            const bool edge = random() % 20 == 0;
            const int x = edge ? random() % 5 : 8 + random() % 32, y = 8 + random() % 40, z = 8 + random() % 40;
            const VoxelPosition at{uint32_t(x), uint32_t(y), uint32_t(z)};
            if (solid ? random() % 3 == 0 : random() % 3 != 0) {
                brush.add_shape(world, at);
                brush.add_shape(single, at);
                model.add_shape(k, x, y, z);
            } else {
                brush.remove_shape(world, at);
                for (const ShapeOffset& offset : brush.voxels()) {
                    const VoxelPosition v = ShapeAffector::voxel_at(at, offset);
                    single.remove_voxel(v.x, v.y, v.z);
                }
                model.remove_shape(k, x, y, z);
            }
            ASSERT_EQ(world.changes(), model.changes()) << "stroke " << stroke << ", " << grid_affector_name(k);
            ASSERT_EQ(world.changes(), single.changes()) << "stroke " << stroke;
            stamp_new_vertices(world, stroke);
            stamp_new_vertices(single, stroke);
            if (stroke % 25 != 0) continue;
            for (int n = 0; n < 64 * 64 * 64; ++n) {
                const int vx = n & 63, vy = n >> 6 & 63, vz = n >> 12;
                ASSERT_EQ(world.grid().get_voxel(vx, vy, vz), model.get(vx, vy, vz)) << "stroke " << stroke;
            }
            ASSERT_TRUE(surface_is_current(world)) << "stroke " << stroke;
            ASSERT_TRUE(grid_test::same_grid(world.grid(), single.grid())) << "stroke " << stroke;
            ASSERT_TRUE(surface_model::same(surface_model::snapshot(world.vertices()), surface_model::snapshot(single.vertices())));
            ASSERT_EQ(state_of(world), state_of(single)) << "stroke " << stroke;
        }
    }
}

// A wall one voxel thick has no support across it: removing one voxel takes
// the whole wall, a cascade 204,800 voxels deep.
TEST_F(Affectors, LongCascadeDoesNotExhaustTheStack) {
    auto grid = std::make_unique<VoxelGrid>(4, false);
    const uint32_t x = 1000, y0 = 100, z0 = 200, height = 400, width = 512;
    for (uint32_t z = z0; z < z0 + width; ++z)
        for (uint32_t y = y0; y < y0 + height; ++y) grid->set_voxel(x, y, z);
    World world(std::move(grid), 0);  // no surface built: the cascade is what counts here
    world.remove_voxel(x, y0 + 7, z0 + 300);
    ASSERT_EQ(world.changes().size(), size_t(height) * width);
    EXPECT_TRUE(grid_test::same_grid(world.grid(), VoxelGrid(4, false)));
    EXPECT_TRUE(world.vertices().empty());
}

}  // namespace
