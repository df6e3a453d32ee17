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

TEST(VoxelGrid, ClearingOneVoxelRefinesAndSettingItCollapses) {
    VoxelGrid grid(3, true);
    EXPECT_TRUE(grid.set_voxel(100, 100, 100));
    EXPECT_TRUE(grid.clear_voxel(100, 100, 100));
    ASSERT_EQ(grid.node_map(1).size(), 1u);
    const GridNode* node = grid.find_entry(grid.node_map(1), CellKey::of_cell(64, 64, 64));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->subdivided.count(), 1u);
    EXPECT_TRUE(node->subdivided.test(ChildIndex{4, 4, 4}));
    EXPECT_TRUE(node->solid.is_all_ones());
    ASSERT_EQ(grid.leaf_map().size(), 1u);
    const LeafBlock* leaf = grid.find_entry(grid.leaf_map(), CellKey::of_cell(96, 96, 96));
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->bits.count(), 511u);
    EXPECT_FALSE(leaf->bits.test(ChildIndex{4, 4, 4}));
    EXPECT_EQ(grid.root().state(ChildIndex{1, 1, 1}), CellState::Subdivided);

    EXPECT_FALSE(grid.set_voxel(100, 100, 100));
    EXPECT_EQ(entries_below_root(grid), 0u);
    EXPECT_EQ(grid.root(), VoxelGrid(3, true).root());
}

TEST(VoxelGrid, FillingALeafBlockCollapsesItIntoItsParent) {
    for (long levels : {2L, 3L}) {
        VoxelGrid grid(levels, false);
        for (uint32_t z = 8; z < 16; ++z)
            for (uint32_t y = 16; y < 24; ++y)
                for (uint32_t x = 0; x < 8; ++x) ASSERT_FALSE(grid.set_voxel(x, y, z));
        EXPECT_EQ(grid.leaf_map().size(), 0u);
        EXPECT_EQ(find_grid_fault(grid), nullptr);
        EXPECT_EQ(count_solid_voxels(grid), 512u);
        if (levels == 2) {
            EXPECT_EQ(grid.root().state(ChildIndex{0, 2, 1}), CellState::Solid);
        } else {  // the level 1 node stays: its other 511 children are clear
            ASSERT_EQ(grid.node_map(1).size(), 1u);
            const GridNode* node = grid.find_node(0, 16, 8, 1);
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(node->state(ChildIndex{0, 2, 1}), CellState::Solid);
            EXPECT_EQ(node->solid.count() + node->subdivided.count(), 1u);
        }
    }
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
