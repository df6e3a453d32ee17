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
    EXPECT_EQ(voxel_count_text(VoxelCount(1) << 72), "4722366482869645213696");  // a full grid of 8 levels
}

// A map against a list per bucket that inserts append to and removals take
// from, keeping the others' order: its lookups and its file order. Few
// distinct keys make long buckets and equal keys; entries taken out and put
// back with their stamps, as the edit history does, return to their places.
TEST(CellMap, MatchesAnOrderedListPerBucket) {
    struct Stored { CellKey key; uint32_t value; uint64_t stamp; };
    std::mt19937 random(11);
    LeafMap map(2);
    std::vector<std::vector<Stored>> buckets(LeafMap::kBucketCount);
    std::vector<Stored> taken;  // removed entries waiting to be put back
    auto leaf_of = [](uint32_t value) { LeafBlock leaf; leaf.bits.words[value % 16] = value; return leaf; };
    auto first = [&](CellKey key) {
        auto& list = buckets[LeafMap::bucket_of(key)];
        return std::find_if(list.begin(), list.end(), [&](const Stored& s) { return s.key == key; });
    };
    for (int step = 0; step < 20000; ++step) {
        CellKey key = CellKey::of_cell(8 * (random() % 6), 8 * (random() % 6), 8 * (random() % 300));
        const uint32_t action = random() % 8;
        if (action < 3) {
            const uint32_t value = static_cast<uint32_t>(random());
            buckets[LeafMap::bucket_of(key)].push_back({key, value, map.next_stamp()});
            map.insert(key, leaf_of(value));
        } else if (action < 6 || taken.empty()) {
            const auto found = first(key);
            ASSERT_EQ(map.remove(key), found != buckets[LeafMap::bucket_of(key)].end());
            if (found == buckets[LeafMap::bucket_of(key)].end()) continue;
            if (action == 5) taken.push_back(*found);
            buckets[LeafMap::bucket_of(key)].erase(found);
        } else {
            std::swap(taken[random() % taken.size()], taken.back());
            const Stored back = taken.back();
            taken.pop_back();
            auto& home = buckets[LeafMap::bucket_of(key = back.key)];
            if (first(key) != home.end()) continue;  // equal keys stay in order
            map.insert_with_stamp(key, leaf_of(back.value), back.stamp);
            home.insert(std::find_if(home.begin(), home.end(), [&](const Stored& s) { return s.stamp > back.stamp; }), back);
        }
        const LeafBlock* value = map.find(key);
        const auto expected = first(key);
        ASSERT_EQ(value != nullptr, expected != buckets[LeafMap::bucket_of(key)].end()) << step;
        ASSERT_TRUE(!value || *value == leaf_of(expected->value)) << step;
        if (step % 97 != 0) continue;
        const std::vector<uint32_t> order = map.file_order();
        size_t i = 0;
        for (const auto& bucket : buckets)
            for (const Stored& s : bucket) {
                ASSERT_LT(i, order.size());
                const LeafMap::Entry& e = map.entry_at(order[i++]);
                ASSERT_TRUE(e.key == s.key && e.stamp == s.stamp && e.value == leaf_of(s.value)) << "step " << step << " entry " << i;
            }
        ASSERT_EQ(i, order.size());
    }
}

}  // namespace
