// Randomized differential test: the vertex set kept up to date edit by edit
// equals the one built from scratch for the same grid.
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

void run_edits(uint32_t levels, uint32_t seed, int steps) {
    std::mt19937 random(seed);
    World world;
    const uint32_t limit = levels == 2 ? 64 : 128;
    install_grid(world, random_grid(levels, random, limit), random() % 2);
    for (int step = 0; step < steps; ++step) {
        // Well inside the safe range, so the build covers every point touched.
        random_edit(world, random, 6, limit - 6);
        ASSERT_TRUE(same(snapshot(world.vertices()), built_snapshot(world.grid(), world.boundary_flag())))
            << levels << " levels, seed " << seed << ", step " << step;
    }
}

TEST(SurfaceIncremental, MatchesFullBuild) {
    for (uint32_t seed = 1; seed <= 5; ++seed) run_edits(2, seed, 40);
    for (uint32_t seed = 1; seed <= 2; ++seed) run_edits(3, seed, 20);
}

}  // namespace
