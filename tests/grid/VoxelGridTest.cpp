#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>

#include "grid/GridTestSupport.h"
#include "grid/SolidVoxelCount.h"

namespace {

TEST(VoxelGrid, RefusesUnsupportedLevelCounts) {
    for (long levels : {-1L, 0L, 1L, 9L, 100L}) {
        EXPECT_FALSE(VoxelGrid::supports_levels(levels));
        EXPECT_THROW(VoxelGrid(levels, true), std::invalid_argument);
    }
    for (long levels = 2; levels <= 8; ++levels) EXPECT_EQ(VoxelGrid(levels, false).side(), 1u << (3 * levels));
    EXPECT_EQ(voxel_count_text(VoxelCount(1) << 72), "4722366482869645213696");  // a full grid of 8 levels
}

// A map against a list per bucket that inserts append to and removals take
// from, keeping the others' order: its lookups and its file order. Few
// distinct keys make long buckets and equal keys. (Entries put back with
// their stamps: the edit history's session.)
TEST(CellMap, MatchesAnOrderedListPerBucket) {
    std::mt19937 random(11);
    LeafMap map(2);
    std::vector<std::vector<std::pair<CellKey, uint32_t>>> buckets(LeafMap::kBucketCount);
    auto leaf_of = [](uint32_t value) { LeafBlock leaf; leaf.bits.words[value % 16] = value; return leaf; };
    for (int step = 0; step < 20000; ++step) {
        const CellKey key = CellKey::of_cell(8 * (random() % 6), 8 * (random() % 6), 8 * (random() % 300));
        auto& list = buckets[LeafMap::bucket_of(key)];
        auto first = [&] { return std::find_if(list.begin(), list.end(), [&](const auto& s) { return s.first == key; }); };
        if (random() % 2 == 0) {
            const uint32_t value = static_cast<uint32_t>(random());
            map.insert(key, leaf_of(value));
            list.push_back({key, value});
        } else {
            ASSERT_EQ(map.remove(key), first() != list.end());
            if (first() != list.end()) list.erase(first());
        }
        const LeafBlock* value = map.find(key);
        ASSERT_EQ(value != nullptr, first() != list.end()) << step;
        ASSERT_TRUE(!value || *value == leaf_of(first()->second)) << step;
        if (step % 97 != 0) continue;
        const std::vector<uint32_t> order = map.file_order();
        size_t i = 0;
        for (const auto& bucket : buckets)
            for (const auto& [k, v] : bucket) {
                ASSERT_LT(i, order.size());
                const LeafMap::Entry& e = map.entry_at(order[i++]);
                ASSERT_TRUE(e.key == k && e.value == leaf_of(v)) << "step " << step << " entry " << i;
            }
        ASSERT_EQ(i, order.size());
    }
}

}  // namespace
