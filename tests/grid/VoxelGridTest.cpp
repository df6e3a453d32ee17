#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "grid/GridInvariants.h"
#include "grid/GridTestSupport.h"
#include "grid/SolidVoxelCount.h"

namespace {

using grid_test::entries_below_root;

TEST(VoxelGrid, RefusesUnsupportedLevelCounts) {
    for (long levels : {-1L, 0L, 1L, 9L, 100L}) {
        EXPECT_FALSE(VoxelGrid::supports_levels(levels));
        EXPECT_THROW(VoxelGrid(levels, true), std::invalid_argument);
    }
    for (long levels = 2; levels <= 8; ++levels) EXPECT_EQ(VoxelGrid(levels, false).side(), 1u << (3 * levels));
}

TEST(VoxelGrid, EightLevelsReachTheFarCornerAndWrap) {
    VoxelGrid grid(8, true);
    const uint32_t side = grid.side(), far = side - 1;
    EXPECT_EQ(voxel_count_text(count_solid_voxels(grid)), "4722366482869645213696");  // 2^72
    EXPECT_TRUE(grid.clear_voxel(far, far, far));
    EXPECT_FALSE(grid.get_voxel(0u - 1, far + 2 * side, far));
    EXPECT_TRUE(grid.get_voxel(far - 1, far, far));
    EXPECT_EQ(entries_below_root(grid), 7u);
    EXPECT_EQ(find_grid_fault(grid), nullptr);
    EXPECT_EQ(count_solid_voxels(grid), (VoxelCount(1) << 72) - 1);
    EXPECT_FALSE(grid.set_voxel(far + side, far, far));
    EXPECT_EQ(entries_below_root(grid), 0u);
}

// The file order of a map against a list per bucket that inserts append to
// and removals take from, keeping the others' order. Few distinct keys make
// long buckets and equal keys; entries taken out and put back with their
// stamps must return to their places.
TEST(CellMap, MatchesAnOrderedListPerBucket) {
    struct Stored { CellKey key; uint32_t value; uint64_t stamp; };
    std::mt19937 random(11);
    LeafMap map(2);
    std::vector<std::vector<Stored>> buckets(LeafMap::kBucketCount);
    std::vector<Stored> taken;  // removed entries waiting to be put back
    uint64_t stamp = 0;
    int put_back = 0;
    auto first_in = [&](CellKey key) {
        auto& list = buckets[LeafMap::bucket_of(key)];
        return std::find_if(list.begin(), list.end(), [&](const Stored& s) { return s.key == key; });
    };
    auto leaf_of = [](uint32_t value) { LeafBlock leaf; leaf.bits.words[value % 16] = value; return leaf; };
    for (int step = 0; step < 20000; ++step) {
        SCOPED_TRACE(step);
        const CellKey key = CellKey::of_cell(8 * (random() % 6), 8 * (random() % 6), 8 * (random() % 300));
        auto& list = buckets[LeafMap::bucket_of(key)];
        const auto found = first_in(key);
        const uint32_t action = random() % 10;
        if (action < 4) {
            const uint32_t value = static_cast<uint32_t>(random());
            map.insert(key, leaf_of(value));
            list.push_back({key, value, stamp++});
        } else if (action < 7) {
            ASSERT_EQ(map.remove(key), found != list.end());
            if (found != list.end()) list.erase(found);
        } else if (action < 9 && found != list.end()) {
            // Taken out the way a journal would: key, value and stamp.
            const LeafMap::Entry* entry = map.find_entry(key);
            ASSERT_EQ(entry->stamp, found->stamp);
            taken.push_back(*found);
            map.remove(key);
            list.erase(found);
        } else if (!taken.empty()) {
            const Stored back = taken[random() % taken.size()];
            taken.erase(std::find_if(taken.begin(), taken.end(), [&](const Stored& s) { return s.stamp == back.stamp; }));
            if (first_in(back.key) != buckets[LeafMap::bucket_of(back.key)].end()) continue;  // equal keys stay in order
            map.insert_with_stamp(back.key, leaf_of(back.value), back.stamp);
            ++put_back;
            auto& home = buckets[LeafMap::bucket_of(back.key)];
            home.insert(std::find_if(home.begin(), home.end(), [&](const Stored& s) { return s.stamp > back.stamp; }), back);
        }
        const auto expected = first_in(key);
        const LeafBlock* value = map.find(key);
        ASSERT_EQ(value != nullptr, expected != list.end());
        if (value) {
            EXPECT_EQ(*value, leaf_of(expected->value));
        }
        if (step % 97 != 0) continue;
        std::vector<uint32_t> order = map.file_order();
        ASSERT_EQ(order.size(), map.size());
        size_t i = 0;
        for (const auto& bucket : buckets)
            for (const Stored& s : bucket) {
                ASSERT_LT(i, order.size());
                const LeafMap::Entry& e = map.entry_at(order[i++]);
                ASSERT_TRUE(e.key == s.key && e.stamp == s.stamp && e.value == leaf_of(s.value)) << "entry " << i;
            }
        ASSERT_EQ(i, order.size());
    }
    EXPECT_GT(put_back, 500);
}

}  // namespace
