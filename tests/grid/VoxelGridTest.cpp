#include <gtest/gtest.h>

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

TEST(CellKey, PacksTheBlockCoordinatesAndPicksTheBucket) {
    std::mt19937 random(7);
    for (int i = 0; i < 1000; ++i) {
        const uint32_t x = random() & 0xFFFFFF, y = random() & 0xFFFFFF, z = random() & 0xFFFFFF;
        const CellKey key = CellKey::of_cell(x, y, z);
        EXPECT_EQ(key.value(), uint64_t(x >> 3) << 42 | uint64_t(y >> 3) << 21 | uint64_t(z >> 3));
        EXPECT_EQ(NodeMap::bucket_of(key), ((x >> 3) & 255) + ((y >> 3) & 255) + ((z >> 3) & 255));
    }
}

TEST(CellMap, KeepsOrderAndFindsTheFirstOfEqualKeys) {
    LeafMap map(2);
    const CellKey a = CellKey::of_cell(24, 0, 0), b = CellKey::of_cell(0, 24, 0);  // both in bucket 3
    const LeafBlock first{BitPlane::filled(false)}, second{BitPlane::filled(true)};
    VoxelGrid::insert_leaf(map, a, first);
    VoxelGrid::insert_leaf(map, b, first);
    VoxelGrid::insert_leaf(map, a, second);
    EXPECT_EQ(*VoxelGrid::find_entry(map, a), first);
    EXPECT_TRUE(VoxelGrid::remove_entry(map, a));
    EXPECT_FALSE(VoxelGrid::remove_entry(map, CellKey::of_cell(16, 8, 0)));
    EXPECT_EQ(*VoxelGrid::find_entry(map, a), second);
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.bucket(3).begin()[0].key, b);
    EXPECT_EQ(map.bucket(3).begin()[1].key, a);
}

TEST(CellMap, InsertingAllAtOnceEqualsInsertingOneByOne) {
    std::mt19937 random(11);
    NodeMap single(1), bulk(1);
    for (int round = 0; round < 3; ++round) {
        std::vector<NodeMap::Entry> batch;
        for (int i = 0; i < 300; ++i) {  // few distinct coordinates: long buckets, repeated keys
            GridNode node;
            node.solid.words[random() % 16] = static_cast<uint32_t>(random());
            batch.push_back({CellKey::of_cell(8 * (random() % 6), 8 * (random() % 6), 8 * (random() % 300)), node});
        }
        for (const auto& entry : batch) single.insert(entry.key, entry.value);
        bulk.insert_all(batch);
        ASSERT_TRUE(grid_test::same_map(single, bulk)) << "round " << round;
        single.remove(batch[5].key);
        bulk.remove(batch[5].key);
    }
}

}  // namespace
