// Randomized differential test: visit_box_squares against the voxel-by-voxel
// walk of traversal_model.h, on randomly sculpted grids of 2 to 4 levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "grid/BoxTraversal.h"
#include "grid/traversal_model.h"

namespace {

using traversal_model::below;

struct SculptedGrid {
    std::unique_ptr<VoxelGrid> grid;
    uint32_t origin[3];
    uint32_t region;
};

SculptedGrid sculpted_grid(std::mt19937& random, uint32_t levels) {
    SculptedGrid made{std::make_unique<VoxelGrid>(levels, random() % 2 == 0), {}, levels == 2 ? 64u : 128u};
    const uint32_t side = made.grid->side();
    for (uint32_t& o : made.origin) o = 64 * below(random, (side - made.region) / 64 + 1);
    traversal_model::sculpt_randomly(*made.grid, random, made.origin, made.region);
    return made;
}

// A coordinate near the sculpted region (a little beyond it), inside the grid.
uint32_t near_region(std::mt19937& random, const SculptedGrid& g, int axis) {
    const int64_t c = int64_t(g.origin[axis]) - 8 + below(random, g.region + 16);
    return uint32_t(std::clamp<int64_t>(c, 0, g.grid->side() - 1));
}

// Boxes from one voxel to whole-grid rows, mostly starting in the sculpted
// region, kept small enough for the voxel-by-voxel walk: the longest side is
// halved until the box holds at most 40000 voxels.
IntBox random_box(std::mt19937& random, const SculptedGrid& g) {
    const uint32_t side = g.grid->side(), scales[4] = {3, 12, 48, g.region + 16};
    uint32_t lower[3], length[3];
    for (int a = 0; a < 3; ++a) {
        const bool whole_row = random() % 10 == 0;
        lower[a] = whole_row ? 0 : near_region(random, g, a);
        length[a] = std::min(side - lower[a], whole_row ? side : 1 + below(random, scales[below(random, 4)]));
    }
    while (uint64_t(length[0]) * length[1] * length[2] > 40000) {
        uint32_t& longest = *std::max_element(length, length + 3);
        longest = (longest + 1) / 2;
    }
    return {lower[0], lower[1], lower[2], lower[0] + length[0] - 1, lower[1] + length[1] - 1, lower[2] + length[2] - 1};
}

TEST(TraversalDifferential, BoxSquaresMatchTheVoxelByVoxelWalk) {
    std::mt19937 random(77);
    for (uint32_t levels : {2u, 3u, 2u, 3u, 3u, 4u}) {
        const SculptedGrid g = sculpted_grid(random, levels);
        const uint32_t last = g.grid->side() - 1;
        for (int trial = 0; trial < 12; ++trial) {
            // The whole of a small grid holds every comb, whose rows fill batches.
            const IntBox box = trial == 0 && levels == 2 ? IntBox{0, 0, 0, last, last, last} : random_box(random, g);
            for (bool outside_solid : {false, true}) {
                traversal_model::RecordingVisitor expected, actual;
                traversal_model::BruteForceWalk(*g.grid, box, expected, outside_solid).run();
                visit_box_squares(*g.grid, box, actual, outside_solid);
                const auto mismatch = std::mismatch(expected.events.begin(), expected.events.end(),
                                                    actual.events.begin(), actual.events.end());
                ASSERT_TRUE(mismatch.first == expected.events.end() && mismatch.second == actual.events.end())
                    << "event " << (mismatch.first - expected.events.begin()) << " of " << expected.events.size()
                    << ", levels " << levels << ", trial " << trial << ", outside solid " << outside_solid;
            }
        }
    }
}

}  // namespace
