// Randomized differential test of voxel edits and queries against a
// counting model, with the grid's structure checked after every step, and of the
// saved file's record order against an order model of the edit history.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "grid/GridInvariants.h"
#include "grid/GridTestSupport.h"
#include "grid/SolidVoxelCount.h"

namespace {

// The number of voxels that differ from the start state in every cell of
// every depth (0: the whole grid, levels: the voxel itself), so that any
// cell's state is known at once.
class CountingGrid {
public:
    CountingGrid(uint32_t levels, bool solid) : levels_(levels), start_(solid) {}
    bool get(uint32_t x, uint32_t y, uint32_t z) const { return solid_in(x, y, z, levels_) == 1; }
    VoxelCount total() const { return solid_in(0, 0, 0, 0); }

    void assign(uint32_t x, uint32_t y, uint32_t z, bool solid) {
        if (get(x, y, z) == solid) return;
        for (uint32_t depth = 0; depth <= levels_; ++depth) flips_[cell(x, y, z, depth)] += solid != start_ ? 1 : -1;
    }

    CellState state(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const {
        const VoxelCount n = solid_in(x, y, z, depth);
        return n == 0 ? CellState::Clear : n == volume(depth) ? CellState::Solid : CellState::Subdivided;
    }

private:
    VoxelCount volume(uint32_t depth) const { return VoxelCount(1) << (9 * (levels_ - depth)); }
    VoxelCount solid_in(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const {
        const auto found = flips_.find(cell(x, y, z, depth));
        const VoxelCount flipped = found == flips_.end() ? 0 : found->second;
        return start_ ? volume(depth) - flipped : flipped;
    }
    // The cell of the given depth holding the voxel; coordinates wrap.
    std::array<uint32_t, 4> cell(uint32_t x, uint32_t y, uint32_t z, uint32_t depth) const {
        const uint32_t mask = (1u << (3 * levels_)) - 1, shift = 3 * (levels_ - depth);
        return {depth, (x & mask) >> shift, (y & mask) >> shift, (z & mask) >> shift};
    }

    uint32_t levels_;
    bool start_;
    std::map<std::array<uint32_t, 4>, int64_t> flips_;  // by depth and cell
};

// The order in which a saved file lists each level's keys: bucket by bucket,
// and within a bucket the keys in order of insertion, a removal keeping the
// others' order. Fed with the grid's keys after every edit.
class FileOrderModel {
public:
    explicit FileOrderModel(uint32_t levels) : lists_(levels) {}

    void update(const VoxelGrid& grid) {
        for (uint32_t level = 1; level <= grid.leaf_level(); ++level) {
            std::set<uint64_t> now;
            auto add = [&](const auto& e) { now.insert(e.key.value()); };
            level == grid.leaf_level() ? grid.leaf_map().for_each(add) : grid.node_map(level).for_each(add);
            for (auto& list : lists_[level]) {
                list.erase(std::remove_if(list.begin(), list.end(), [&](uint64_t k) { return !now.count(k); }), list.end());
            }
            for (uint64_t key : now) {
                auto& list = lists_[level][NodeMap::bucket_of({uint32_t(key >> 32), uint32_t(key)})];
                if (std::find(list.begin(), list.end(), key) == list.end()) list.push_back(key);
            }
        }
    }

    // The keys of every level, level after level, as the file should list them.
    std::vector<uint64_t> keys() const {
        std::vector<uint64_t> all;
        for (const auto& level : lists_)
            for (const auto& list : level) all.insert(all.end(), list.begin(), list.end());
        return all;
    }

private:
    std::vector<std::array<std::vector<uint64_t>, NodeMap::kBucketCount>> lists_;  // by level, then bucket
};

// The keys of a saved file's records, level after level.
std::vector<uint64_t> saved_keys(const std::string& bytes, uint32_t levels) {
    auto word = [&](size_t at) { return grid_test::u32_at(bytes, at); };
    std::vector<uint64_t> keys;
    size_t at = 35 + 136;
    for (uint32_t level = 1; level < levels; ++level) {
        const uint32_t count = word(at);
        const size_t record = level + 1 == levels ? 72 : 136;
        for (uint32_t i = 0; i < count; ++i) keys.push_back(uint64_t(word(at + 4 + i * record)) << 32 | word(at + 8 + i * record));
        at += 4 + count * record;
    }
    return keys;
}

uint32_t below(std::mt19937& random, uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

// The small box the edits keep to, so that cells fill up and empty again:
// one leaf block, or a few voxels around a corner where cells of every depth
// meet (possibly the grid's own corner, reached by wrapping).
struct Region {
    uint32_t x0, y0, z0, size;
};

Region pick_region(std::mt19937& random, uint32_t side) {
    const bool block = below(random, 2) == 0;
    const uint32_t half = block ? 4 : 1 + below(random, 3);
    auto at = [&] { return block ? 8 * below(random, side / 8) : side / 8 * below(random, 8) - half; };
    return Region{at(), at(), at(), 2 * half};
}

class VoxelGridModel : public ::testing::TestWithParam<uint32_t> {};

TEST_P(VoxelGridModel, EditsAndQueriesMatchADenseGrid) {
    const uint32_t levels = GetParam();
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed * 7919 + levels);
        const bool solid = below(random, 2) == 0;
        VoxelGrid grid(levels, solid);
        CountingGrid model(levels, solid);
        FileOrderModel order(levels);
        const uint32_t side = grid.side();
        const Region region = pick_region(random, side);
        // Coordinates may carry any multiple of the side: they wrap.
        auto coordinate = [&](uint32_t origin) {
            return origin + below(random, region.size) + side * below(random, 3);
        };
        uint32_t set_percent = 50;
        for (int step = 0; step < 2500; ++step) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step);
            // Phases that lean away from the start state and back again.
            if (step % 500 == 0) set_percent = (step / 500) % 2 == solid ? 95 : 5;
            const uint32_t x = coordinate(region.x0), y = coordinate(region.y0), z = coordinate(region.z0);
            const bool setting = below(random, 100) < set_percent;
            ASSERT_EQ(setting ? grid.set_voxel(x, y, z) : grid.clear_voxel(x, y, z), model.get(x, y, z));
            model.assign(x, y, z, setting);
            order.update(grid);
            if (step % 250 == 0) {
                ASSERT_EQ(saved_keys(grid_test::saved_bytes(grid, 0), levels), order.keys());
            }

            for (uint32_t depth = 1; depth <= levels; ++depth) {
                ASSERT_EQ(grid.cell_state(x, y, z, depth), model.state(x, y, z, depth)) << "depth " << depth;
            }
            for (int probe = 0; probe < 4; ++probe) {
                const uint32_t px = coordinate(region.x0 - 4), py = coordinate(region.y0 - 4), pz = below(random, side);
                const uint32_t depth = 1 + below(random, levels);
                ASSERT_EQ(grid.get_voxel(px, py, pz), model.get(px, py, pz));
                ASSERT_EQ(grid.cell_state(px, py, pz, depth), model.state(px, py, pz, depth));
            }
            ASSERT_EQ(find_grid_fault(grid), nullptr);
            ASSERT_EQ(count_solid_voxels(grid), model.total());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, VoxelGridModel, ::testing::Values(2u, 3u, 8u));

}  // namespace
