// Files crafted against the loader: each is refused with a report naming the
// fault, or, where the data is sound but shaped to be slow, loads quickly.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "grid/GridInvariants.h"
#include "grid/GridTestSupport.h"

namespace {

using grid_test::append_plane;
using grid_test::append_u32;

constexpr size_t kRootRecordEnd = 35 + 136;

std::string with_word(std::string bytes, size_t offset, uint32_t value) {
    std::string word;
    append_u32(word, value);
    return bytes.replace(offset, 4, word);
}

void append_record(std::string& bytes, CellKey key, const BitPlane& first, const BitPlane* second = nullptr) {
    append_u32(bytes, key.high);
    append_u32(bytes, key.low);
    append_plane(bytes, first);
    if (second) append_plane(bytes, *second);
}

// A file of `levels` levels written record by record: the root, then for each
// level below it the given records in the given order.
using Level = std::map<uint64_t, std::pair<CellKey, GridNode>>;
std::string file_of(uint32_t levels, const GridNode& root, const std::vector<Level>& nodes,
                    const std::vector<std::pair<CellKey, BitPlane>>& leaves) {
    std::string bytes = grid_test::saved_bytes(VoxelGrid(levels, false), 0).substr(0, 35);
    append_record(bytes, CellKey{}, root.subdivided, &root.solid);
    for (const Level& level : nodes) {
        append_u32(bytes, static_cast<uint32_t>(level.size()));
        for (const auto& entry : level) {
            const GridNode& node = entry.second.second;
            append_record(bytes, entry.second.first, node.subdivided, &node.solid);
        }
    }
    append_u32(bytes, static_cast<uint32_t>(leaves.size()));
    for (const auto& leaf : leaves) append_record(bytes, leaf.first, leaf.second);
    return bytes;
}

// An 8-level clear grid with one solid voxel at each position, in key order.
std::string eight_level_file(const std::vector<std::array<uint32_t, 3>>& voxels) {
    const VoxelGrid shape(8, false);  // for its key and child arithmetic only
    GridNode root;
    std::vector<Level> nodes(6);
    std::map<uint64_t, std::pair<CellKey, BitPlane>> leaves;
    for (const auto& v : voxels) {
        root.subdivided.set(shape.child_index(v[0], v[1], v[2], 0));
        for (uint32_t level = 1; level < 7; ++level) {
            const CellKey key = shape.key_of(v[0], v[1], v[2], level);
            auto& node = nodes[level - 1][key.value()];
            node.first = key;
            node.second.subdivided.set(shape.child_index(v[0], v[1], v[2], level));
        }
        auto& leaf = leaves[shape.key_of(v[0], v[1], v[2], 7).value()];
        leaf.first = shape.key_of(v[0], v[1], v[2], 7);
        leaf.second.set(shape.child_index(v[0], v[1], v[2], 7));
    }
    std::vector<std::pair<CellKey, BitPlane>> leaf_list;
    for (const auto& leaf : leaves) leaf_list.push_back(leaf.second);
    return file_of(8, root, nodes, leaf_list);
}

TEST(HostileGridFile, IsRefusedOrLoadsWhole) {
    const std::string solid3 = grid_test::saved_bytes(VoxelGrid(3, true), 1);
    GridNode one_child;  // a root whose child (1, 0, 0) is mixed
    one_child.subdivided.set(ChildIndex{1, 0, 0});
    BitPlane one_bit;
    one_bit.set(ChildIndex{2, 3, 4});
    const CellKey child = CellKey::of_cell(8, 0, 0);
    VoxelGrid valid3(3, false);
    valid3.set_voxel(70, 0, 0);  // a level 1 node at (64, 0, 0)

    const std::string format = "File format not understood. | ";
    auto refused = [&](const std::string& detail) { return format + detail + " | " + detail + "\n"; };
    const std::string levels = refused("The grid's level count is not between 2 and 8.");
    const std::pair<std::string, std::string> cases[] = {
        {with_word(solid3, 31, 0), levels},
        {with_word(solid3, 31, 1), levels},
        {with_word(solid3, 31, 9), levels},
        {with_word(solid3, 31, 0xFFFFFFFF), levels},
        {file_of(2, one_child, {}, {{CellKey::of_cell(64 + 8, 0, 0), one_bit}}),
         refused("A node or leaf block lies outside the grid.")},
        {with_word(grid_test::saved_bytes(valid3, 0), kRootRecordEnd + 4, CellKey::of_cell(72, 0, 0).high),
         refused("A node key is not aligned to the cell of its level.")},
        {file_of(2, one_child, {}, {{child, one_bit}, {child, one_bit}}),
         refused("A node or leaf block appears twice in one level.")},
        // Each record is checked as it arrives: a repeat is refused before
        // the end of a level that claims far more records than the data holds.
        {with_word(file_of(2, one_child, {}, {{child, one_bit}, {child, one_bit}}), kRootRecordEnd, 0xFFFFFFFF),
         refused("A node or leaf block appears twice in one level.")},
        {file_of(2, one_child, {}, {}), refused("A subdivided child has no node or leaf block below it.")},
        {file_of(2, GridNode{}, {}, {{child, one_bit}}),
         refused("A node or leaf block hangs from a child that is not subdivided.")},
        // Counts far beyond the data fail at the end of the data, allocating
        // nothing for the count up front.
        {with_word(file_of(2, one_child, {}, {{child, one_bit}}), kRootRecordEnd, 0xFFFFFFFF),
         "Input failed. | istream.read() failed. | "},
        {with_word(solid3, kRootRecordEnd, 0xFFFFFFFF), "Input failed. | istream.read() failed. | "},
    };
    for (const auto& c : cases) EXPECT_EQ(grid_test::load_failure(c.first), c.second);

    // Uniform cells are collapsed into their parents on loading: a wholly
    // solid leaf block whose collapse leaves its level 1 node wholly solid,
    // and a wholly clear level 1 node, give the grid that editing would.
    GridNode root;
    root.subdivided.set(ChildIndex{1, 0, 0});
    root.subdivided.set(ChildIndex{0, 2, 0});
    Level level1;
    GridNode almost_solid;
    almost_solid.solid = BitPlane::filled(true);
    almost_solid.subdivided.set(ChildIndex{0, 0, 0});
    level1[0] = {CellKey::of_cell(64, 0, 0), almost_solid};
    level1[1] = {CellKey::of_cell(0, 128, 0), GridNode{}};
    const LoadedGrid canonical =
        grid_test::load_bytes(file_of(3, root, {level1}, {{CellKey::of_cell(64, 0, 0), BitPlane::filled(true)}}));
    VoxelGrid expected(3, false);
    expected.root().solid.set(ChildIndex{1, 0, 0});
    EXPECT_TRUE(grid_test::same_grid(*canonical.grid, expected));
    EXPECT_EQ(find_grid_fault(*canonical.grid), nullptr);

    // Sound data whose records all fall into bucket 0 of their level (block
    // coordinates that are multiples of 256): appending record by record would
    // copy each bucket once per record.
    std::vector<std::array<uint32_t, 3>> voxels;
    for (uint32_t a = 0; a < 28; ++a)
        for (uint32_t b = 0; b < 28; ++b)
            for (uint32_t c = 0; c < 28; ++c) voxels.push_back({2048 * a, 2048 * b, 2048 * c});
    const std::string crowded = eight_level_file(voxels);
    const LoadedGrid loaded = grid_test::load_bytes(crowded);
    EXPECT_EQ(loaded.grid->leaf_map().size(), 21952u);
    EXPECT_TRUE(loaded.grid->get_voxel(2048 * 27, 2048 * 3, 2048 * 7));
    EXPECT_FALSE(loaded.grid->get_voxel(2048 * 27 + 1, 2048 * 3, 2048 * 7));
    EXPECT_EQ(grid_test::saved_bytes(*loaded.grid, 0), crowded);  // file order kept within the bucket
    // Edits in the crowded grid keep its structure sound.
    EXPECT_TRUE(loaded.grid->clear_voxel(2048 * 27, 2048 * 3, 2048 * 7));
    EXPECT_FALSE(loaded.grid->set_voxel(2048 * 27 + 1, 2048 * 3, 2048 * 7));
    EXPECT_EQ(loaded.grid->leaf_map().size(), 21952u);
    EXPECT_EQ(find_grid_fault(*loaded.grid), nullptr);
}

}  // namespace
