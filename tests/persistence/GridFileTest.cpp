// The grid file's bytes, the header variants it accepts, and one table of
// damaged or crafted files, each refused with its report; sound files shaped
// against the loader load whole.
#include <gtest/gtest.h>

#include <array>
#include <sstream>

#include "grid/GridInvariants.h"
#include "grid/GridTestSupport.h"

namespace {

using grid_test::append_plane;
using grid_test::append_u32;
using grid_test::failure_of;
using grid_test::load_bytes;
using grid_test::saved_bytes;

constexpr size_t kRootRecordEnd = 35 + 136;

// Magic, version and header length, then the given words.
std::string header(uint32_t version, uint32_t length, std::initializer_list<uint32_t> words) {
    std::string bytes("Holloform\n", 11);
    for (uint32_t word : {version, length}) append_u32(bytes, word);
    for (uint32_t word : words) append_u32(bytes, word);
    return bytes;
}

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

// A file of 2 or 3 levels written record by record: the root, the level 1
// nodes (3 levels only) and the leaf blocks, in the given order.
std::string file_of(uint32_t levels, const GridNode& root, const std::vector<std::pair<CellKey, GridNode>>& nodes,
                    const std::vector<std::pair<CellKey, BitPlane>>& leaves) {
    std::string bytes = saved_bytes(VoxelGrid(levels, false), 0).substr(0, 35);
    append_record(bytes, CellKey{}, root.subdivided, &root.solid);
    if (levels == 3) append_u32(bytes, static_cast<uint32_t>(nodes.size()));
    for (const auto& node : nodes) append_record(bytes, node.first, node.second.subdivided, &node.second.solid);
    append_u32(bytes, static_cast<uint32_t>(leaves.size()));
    for (const auto& leaf : leaves) append_record(bytes, leaf.first, leaf.second);
    return bytes;
}

// ... flag, levels, root key, the root's planes (no child subdivided, all
// solid), no level 1 nodes, no leaf blocks.
TEST(GridFile, NewSolidGridOfThreeLevelsIs179Bytes) {
    EXPECT_EQ(saved_bytes(VoxelGrid(3, true), 1),
              header(2, 8, {0, 0, 1, 3, 0, 0}) + std::string(64, '\0') + std::string(64, '\xff') + std::string(8, '\0'));
}

// With trailing bytes, and with headers the scan reads to their zero word
// (skipping the bytes it announces) or past their length. (Saving to a path
// and loading it back: the save safety tests.)
TEST(GridFile, LoadsTheHeadersItAccepts) {
    VoxelGrid grid(4, true);
    for (uint32_t i = 0; i < 40; ++i) grid.clear_voxel(100 + 37 * i, 3000 - 11 * i, 7 * i * i);
    const std::string body = saved_bytes(grid, 0x90000005).substr(27);  // from the boundary flag on
    for (const std::string& bytes : {saved_bytes(grid, 0x90000005) + "trailing junk", header(2, 12, {5, 0, 8}) + "ABCDEFGH" + body,
                                     header(2, 6, {1, 2, 0}) + body}) {
        const LoadedGrid variant = load_bytes(bytes);
        EXPECT_EQ(variant.boundary_flag, 0x90000005u);
        EXPECT_TRUE(grid_test::same_grid(*variant.grid, grid));
    }
}

TEST(GridFile, DamagedAndCraftedFilesAreRefusedWithTheirReport) {
    const std::string good = saved_bytes(VoxelGrid(2, true), 1), rest = good.substr(27);
    const std::string solid3 = saved_bytes(VoxelGrid(3, true), 1);
    VoxelGrid one_voxel(3, false);
    one_voxel.set_voxel(70, 80, 90);  // a level 1 node at (64, 64, 64)
    const std::string cut_me = saved_bytes(one_voxel, 1);
    GridNode one_child;  // a root whose child (1, 0, 0) is mixed
    one_child.subdivided.set(ChildIndex{1, 0, 0});
    BitPlane one_bit;
    one_bit.set(ChildIndex{2, 3, 4});
    const CellKey child = CellKey::of_cell(8, 0, 0);
    const std::string twice = file_of(2, one_child, {}, {{child, one_bit}, {child, one_bit}});

    auto refused = [](const std::string& detail) { return "File format not understood. | " + detail + " | " + detail + "\n"; };
    const std::string levels = refused("The grid's level count is not between 2 and 8.");
    const std::string old = "Old File Version. | (none) | \n\nFile was made with an out of date version or is corrupted.\n\n";
    const std::string unknown = "Unknown file type. | (none) | \n\nUnknown file type.\n\n";
    const std::string scan = refused("The header was scanned but no offset to the voxel data was found.");
    const std::string bytes_read = "Input failed. | istream read() failed. | ";
    const std::string word_read = "Input failed. | istream.read() failed. | ";
    const std::pair<std::string, std::string> cases[] = {
        {"Holloforn\n" + good.substr(10), unknown},
        {"Holloform\nX" + good.substr(11), unknown},
        {header(1, 8, {0, 0}) + rest, old},
        {header(3, 8, {0, 0}) + rest, old},
        {header(2, 0, {0, 0}) + rest, scan},
        {header(2, 8, {7, 9, 0}) + rest, scan},
        {header(2, 8, {0, 100}) + "short", "Input failed. | istream ignore() failed. | "},
        {with_word(solid3, 31, 1), levels},
        {with_word(solid3, 31, 9), levels},
        {file_of(2, one_child, {}, {{CellKey::of_cell(64 + 8, 0, 0), one_bit}}),
         refused("A node or leaf block lies outside the grid.")},
        {with_word(cut_me, kRootRecordEnd + 4, CellKey::of_cell(72, 64, 64).high),
         refused("A node key is not aligned to the cell of its level.")},
        {twice, refused("A node or leaf block appears twice in one level.")},
        // Each record is checked as it arrives: a repeat is refused before
        // the end of a level that claims far more records than the data holds.
        {with_word(twice, kRootRecordEnd, 0xFFFFFFFF), refused("A node or leaf block appears twice in one level.")},
        {file_of(2, one_child, {}, {}), refused("A subdivided child has no node or leaf block below it.")},
        {file_of(2, GridNode{}, {}, {{child, one_bit}}),
         refused("A node or leaf block hangs from a child that is not subdivided.")},
        // Counts far beyond the data fail at its end, allocating nothing up front.
        {with_word(solid3, kRootRecordEnd, 0xFFFFFFFF), word_read},
        // A file cut short fails in the read that meets the end: a byte read
        // in the magic and the planes, a word read in words and keys.
        {"", bytes_read},
        {cut_me.substr(0, 7), bytes_read},
        {cut_me.substr(0, 13), word_read},
        {cut_me.substr(0, 40), word_read},
        {cut_me.substr(0, 100), bytes_read},
        {cut_me.substr(0, 180), word_read},
        {cut_me.substr(0, 250), bytes_read},
        {cut_me.substr(0, 320), word_read},
        {cut_me.substr(0, cut_me.size() - 1), bytes_read},
    };
    for (const auto& c : cases) EXPECT_EQ(failure_of([&] { load_bytes(c.first); }), c.second) << &c - cases;

    const VoxelGrid grid(2, true);
    const std::string nowhere = "/nonexistent-folder/grid";
    EXPECT_EQ(failure_of([&] { save_grid(grid, 1, nowhere); }), "Unable to open file for writing. | (none) | ");
    EXPECT_EQ(failure_of([&] { load_grid(nowhere); }), "Unable to open named file. | (none) | ");
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(failure_of([&] { save_grid(grid, 1, broken); }), "output failed. | ostream write() failed. | ");
}

// Uniform cells are collapsed into their parents on loading: a wholly solid
// leaf block whose collapse leaves its level 1 node wholly solid, and a
// wholly clear level 1 node, give the grid that editing would.
TEST(GridFile, UniformCellsCollapseOnLoading) {
    GridNode root;
    root.subdivided.set(ChildIndex{1, 0, 0});
    root.subdivided.set(ChildIndex{0, 2, 0});
    GridNode almost_solid;
    almost_solid.solid = BitPlane::filled(true);
    almost_solid.subdivided.set(ChildIndex{0, 0, 0});
    const LoadedGrid canonical = load_bytes(file_of(3, root, {{CellKey::of_cell(64, 0, 0), almost_solid}, {CellKey::of_cell(0, 128, 0), GridNode{}}},
                                                    {{CellKey::of_cell(64, 0, 0), BitPlane::filled(true)}}));
    VoxelGrid expected(3, false);
    expected.root().solid.set(ChildIndex{1, 0, 0});
    EXPECT_TRUE(grid_test::same_grid(*canonical.grid, expected));
}

// Sound data whose records all fall into bucket 0 of their level (block
// coordinates that are multiples of 256): appending record by record would
// copy each bucket once per record. The file order within the bucket stays.
TEST(GridFile, CrowdedBucketsLoadWholeAndInOrder) {
    VoxelGrid grid(8, false);
    for (uint32_t n = 0; n < 28 * 28 * 28; ++n) grid.set_voxel(2048 * (n % 28), 2048 * (n / 28 % 28), 2048 * (n / 784));
    const std::string crowded = saved_bytes(grid, 0);
    const LoadedGrid loaded = load_bytes(crowded);
    EXPECT_EQ(loaded.grid->leaf_map().size(), 21952u);
    EXPECT_TRUE(loaded.grid->get_voxel(2048 * 27, 2048 * 3, 2048 * 7));
    EXPECT_FALSE(loaded.grid->get_voxel(2048 * 27 + 1, 2048 * 3, 2048 * 7));
    EXPECT_EQ(saved_bytes(*loaded.grid, 0), crowded);
    // Edits in the crowded grid keep its structure sound.
    EXPECT_TRUE(loaded.grid->clear_voxel(2048 * 27, 2048 * 3, 2048 * 7));
    EXPECT_FALSE(loaded.grid->set_voxel(2048 * 27 + 1, 2048 * 3, 2048 * 7));
    EXPECT_EQ(find_grid_fault(*loaded.grid), nullptr);
}

}  // namespace
