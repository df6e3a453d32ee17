// The World: its start, undo and redo against a model of the session
// under memory bounds, and the mirror images of the brushes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "GridTestSupport.h"
#include "grid/GridAffector.h"
#include "grid/SolidVoxelCount.h"
#include "grid/SurfaceMaintenance.h"
#include "grid/World.h"
#include "surface_model.h"

using namespace surface_model;

namespace {

constexpr uint32_t kSide = 64;  // the sculpted part of the grids, of 2 or 3 levels

std::string saved(const World& world) { return grid_test::saved_bytes(world.grid(), world.boundary_flag()); }

// One stroke: a brush dragged over a few voxels, adding or removing, with
// random mirror planes, then the button's release. Some strokes sweep a
// whole leaf block's cell, which collapses its block: undoing them puts
// blocks back among others of their bucket.
void stroke(World& world, std::mt19937& random) {
    static const auto brushes = make_grid_affectors();
    const bool adding = random() % 2 == 0;
    world.set_mirror_axes(random() % 3 == 0, random() % 3 == 0, random() % 3 == 0);
    if (random() % 4 == 0) {  // 2x2x2 cubes or single voxels over a whole cell
        const uint32_t x = 8 * (1 + below(random, 6)), y = 8 * (1 + below(random, 6)), z = 8 * (1 + below(random, 6));
        const uint32_t step = adding ? 2 : 1;
        for (uint32_t n = 0; n < 512; n += step) {
            if ((n >> 3 | n >> 6) & (step - 1)) continue;  // every other voxel on each axis
            const VoxelPosition at{x + (n >> 6), y + (n >> 3 & 7), z + (n & 7)};
            adding ? brushes[0]->add_shape(world, at) : brushes[1]->remove_shape(world, at);
        }
    } else {
        const GridAffector& brush = *brushes[below(random, kGridAffectorCount)];
        VoxelPosition at{below(random, kSide), below(random, kSide), below(random, kSide)};
        for (uint32_t n = 1 + below(random, 4); n > 0; --n) {
            adding ? brush.add_shape(world, at) : brush.remove_shape(world, at);
            at.x += 1;
            at.y += below(random, 2);
        }
    }
    world.end_step();
}

// The space key's clear: the grid alone, then the surface brought in line as
// a removal would (the key itself leaves it, which the build would not).
void key_clear(World& world, std::mt19937& random) {
    const VoxelPosition p{2 + below(random, kSide - 4), 2 + below(random, kSide - 4), 2 + below(random, kSide - 4)};
    if (world.grid().clear_voxel(p.x, p.y, p.z)) update_after_changes(world, {}, {p});
    world.end_step();
}

// A session of strokes, mirrored strokes, clears, new grids and loads,
// undone and redone in random order, under budgets of one step, of a few
// steps and the default. The model is the list of states, each
// the saved file's bytes (which fix the voxels, the boundary flag and the
// record order) and the state number; after every operation the world must
// save byte for byte as the current state, carry its number, offer the right
// undo and redo counts and keep the surface a full build would give. Strokes
// and clears only add or only remove: they make a step (and a new number)
// exactly when the solid count moves. Over a budget, the oldest undo steps
// go, then the redo steps furthest away; the last step stays, however large.
void run_session(uint32_t seed, int operations, int& several_kept) {
    std::mt19937 random(seed);
    World world;
    ASSERT_EQ(saved(world), grid_test::saved_bytes(VoxelGrid(3, true), 1));  // the start
    ASSERT_TRUE(world.vertices().empty());
    std::vector<std::pair<std::string, uint64_t>> states{{saved(world), world.change_count()}};  // bytes, number
    std::vector<std::string> files{grid_test::saved_bytes(*random_grid(3, random, kSide), 1)};
    install_grid(world, random_grid(2, random, kSide), random() % 2);
    states.push_back({saved(world), world.change_count()});
    size_t current = 1;

    for (int op = 0; op < operations; ++op) {
        const uint64_t number_before = world.change_count();
        const VoxelCount solid_before = count_solid_voxels(world.grid());
        const unsigned kind = below(random, 10);
        if (kind < 3) {
            stroke(world, random);
        } else if (kind == 3) {
            key_clear(world, random);
        } else if (kind == 4) {
            const bool solid = random() % 2 == 0;  // with its flag, as the new-grid actions give it
            install_grid(world, std::make_unique<VoxelGrid>(2 + random() % 2, solid), solid ? 1 : 0);
        } else if (kind == 5) {
            files.push_back(saved(world));
            LoadedGrid loaded = grid_test::load_bytes(files[below(random, uint32_t(files.size()))]);
            install_grid(world, std::move(loaded.grid), loaded.boundary_flag);
        } else if (kind < 8) {
            ASSERT_EQ(world.undo(), current > 0);
            if (current > 0) --current;
        } else if (kind == 8) {
            ASSERT_EQ(world.redo(), current + 1 < states.size());
            if (current + 1 < states.size()) ++current;
        } else {
            world.set_undo_budget(std::vector<size_t>{1, 20000, EditHistory::kDefaultBudget}[below(random, 3)]);
        }
        if (kind < 4) {
            ASSERT_EQ(world.change_count() != number_before, count_solid_voxels(world.grid()) != solid_before) << "op " << op;
        }
        if (kind < 6) {
            if (world.change_count() != number_before) {
                // A new step: the redo steps are gone.
                for (const auto& state : states) ASSERT_NE(state.second, world.change_count());
                states.resize(++current);
                states.push_back({saved(world), world.change_count()});
            }
        }
        const EditHistory& history = world.history();
        if (history.budget() < EditHistory::kDefaultBudget) {
            const size_t kept = world.undo_count() + world.redo_count();
            ASSERT_TRUE(kept == 1 || (kept > 1 && history.bytes() <= history.budget())) << "op " << op;
            ASSERT_LE(world.undo_count(), current);
            states.erase(states.begin(), states.begin() + (current - world.undo_count()));
            current = world.undo_count();
            states.resize(std::min(states.size(), current + 1 + world.redo_count()));
            several_kept += history.budget() > 1 && states.size() > 3;
        }
        const std::string where = "seed " + std::to_string(seed) + ", op " + std::to_string(op) + ", kind " +
                                  std::to_string(kind);
        ASSERT_EQ(world.undo_count(), current) << where;
        ASSERT_EQ(world.redo_count(), states.size() - 1 - current) << where;
        ASSERT_EQ(world.change_count(), states[current].second) << where;
        ASSERT_TRUE(saved(world) == states[current].first) << where;
        ASSERT_TRUE(surface_is_current(world)) << where;
    }
}

TEST(EditHistory, SessionUndoneAndRedoneMatchesItsModel) {
    int several_kept = 0;
    for (uint32_t seed = 1; seed <= 3; ++seed) run_session(seed, 120, several_kept);
    EXPECT_GT(several_kept, 0);  // a small budget kept more than one step
}

// A row along x from the mirror centre's voxel, mirrored across x: the image
// shares that voxel. A new grid puts the centre back in its middle; a
// world needs a grid, and installing none changes nothing.
TEST(World, MirrorImagesShareTheCentreVoxelAndGridsAreInstalledWhole) {
    World world;
    EXPECT_TRUE(world.in_safe_range(2, 509, 2) && !world.in_safe_range(1, 100, 100) && !world.in_safe_range(100, 510, 100));
    EXPECT_THROW(World(nullptr, 0), std::invalid_argument);
    install_grid(world, std::make_unique<VoxelGrid>(2, true), 1);
    world.set_mirror_axes(true, false, false);
    world.set_mirror_centre(VoxelPosition{30, 25, 25});
    make_grid_affectors()[4]->remove_shape(world, VoxelPosition{30, 20, 20});
    for (uint32_t x = 0; x < kSide; ++x) EXPECT_EQ(world.grid().get_voxel(x, 20, 20), x < 27 || x > 33) << x;
    EXPECT_EQ(count_solid_voxels(world.grid()), kSide * kSide * kSide - 7);
    install_grid(world, std::make_unique<VoxelGrid>(3, true), 1);
    EXPECT_EQ(world.mirror().twice_centre[1], 512u);
    install_grid(world, nullptr, 0);
    EXPECT_EQ(world.grid().levels(), 3u);
    EXPECT_EQ(world.undo_count(), 3u);  // two grids and the stroke between them
}

}  // namespace
