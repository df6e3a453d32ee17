#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "grid/GridTestSupport.h"

namespace {

using grid_test::append_u32;
using grid_test::failure_of;
using grid_test::load_failure;

// Magic, version and header length, then the given words.
std::string header(uint32_t version, uint32_t length, std::initializer_list<uint32_t> words) {
    std::string bytes("Holloform\n", 11);
    for (uint32_t word : {version, length}) append_u32(bytes, word);
    for (uint32_t word : words) append_u32(bytes, word);
    return bytes;
}

TEST(GridFile, NewSolidGridOfThreeLevelsIs179Bytes) {
    std::string expected = header(2, 8, {0, 0, 1, 3, 0, 0});  // ... flag, levels, root key
    grid_test::append_plane(expected, BitPlane::filled(false));
    grid_test::append_plane(expected, BitPlane::filled(true));
    append_u32(expected, 0);  // no level 1 nodes
    append_u32(expected, 0);  // no leaf blocks
    ASSERT_EQ(expected.size(), 179u);
    EXPECT_EQ(grid_test::saved_bytes(VoxelGrid(3, true), 1), expected);
}

TEST(GridFile, TwoLevelsHaveNoIntermediateSection) {
    VoxelGrid grid(2, false);
    grid.set_voxel(9, 17, 33);
    const std::string bytes = grid_test::saved_bytes(grid, 0);
    std::string leaf_section;
    for (uint32_t word : {1u, CellKey::of_cell(8, 16, 32).high, CellKey::of_cell(8, 16, 32).low}) {
        append_u32(leaf_section, word);
    }
    ASSERT_EQ(bytes.size(), 35u + 136u + 4u + 72u);
    EXPECT_EQ(bytes.substr(35 + 136, 12), leaf_section);
}

TEST(GridFile, RoundTripsThroughAFileAndIgnoresTrailingBytes) {
    VoxelGrid grid(4, true);
    for (uint32_t i = 0; i < 40; ++i) grid.clear_voxel(100 + 37 * i, 3000 - 11 * i, 7 * i * i);
    const std::string path = ::testing::TempDir() + "/grid_file_test_" + std::to_string(getpid());
    save_grid(grid, 0, path);
    const LoadedGrid loaded = load_grid(path);
    std::remove(path.c_str());
    EXPECT_EQ(loaded.boundary_flag, 0u);
    EXPECT_TRUE(grid_test::same_grid(*loaded.grid, grid));
    const LoadedGrid padded = grid_test::load_bytes(grid_test::saved_bytes(grid, 5) + "trailing junk");
    EXPECT_EQ(padded.boundary_flag, 5u);
    EXPECT_TRUE(grid_test::same_grid(*padded.grid, grid));
}

TEST(GridFile, HeaderScanStopsAtTheZeroWordOrPastTheLength) {
    VoxelGrid grid(3, false);
    grid.set_voxel(1, 2, 3);
    const std::string body = grid_test::saved_bytes(grid, 1).substr(27);  // from the boundary flag on
    // Length 12, words 5 and 0: the scan stops at i = 4; 8 bytes are skipped.
    EXPECT_TRUE(grid_test::same_grid(*grid_test::load_bytes(header(2, 12, {5, 0, 8}) + "ABCDEFGH" + body).grid, grid));
    // Length 6 and non-zero words: the scan passes the length at i = 8.
    EXPECT_TRUE(grid_test::same_grid(*grid_test::load_bytes(header(2, 6, {1, 2, 0}) + body).grid, grid));
}

TEST(GridFile, EachFailureHasItsMessageAndErrorStreamText) {
    const std::string good = grid_test::saved_bytes(VoxelGrid(2, true), 1), rest = good.substr(27);
    const std::string scan = "The header was scanned but no offset to the voxel data was found.";
    const std::string old =
        "Old File Version. | (none) | \n\nFile was made with an out of date version or is corrupted.\n\n";
    const std::pair<std::string, std::string> cases[] = {
        {"Holloforn\n" + good.substr(10), "Unknown file type. | (none) | \n\nUnknown file type.\n\n"},
        {"Holloform\nX" + good.substr(11), "Unknown file type. | (none) | \n\nUnknown file type.\n\n"},
        {header(1, 8, {0, 0}) + rest, old},
        {header(3, 8, {0, 0}) + rest, old},
        {header(2, 0, {0, 0}) + rest, "File format not understood. | " + scan + " | " + scan + "\n"},
        {header(2, 8, {7, 9, 0}) + rest, "File format not understood. | " + scan + " | " + scan + "\n"},
        {"", "Input failed. | istream read() failed. | "},
        {good.substr(0, 13), "Input failed. | istream.read() failed. | "},
        {header(2, 8, {0, 100}) + "short", "Input failed. | istream ignore() failed. | "},
    };
    for (const auto& c : cases) EXPECT_EQ(load_failure(c.first), c.second);

    const VoxelGrid grid(2, true);
    const std::string nowhere = "/nonexistent-folder/grid";
    EXPECT_EQ(failure_of([&] { save_grid(grid, 1, nowhere); }), "Unable to open file for writing. | (none) | ");
    EXPECT_EQ(failure_of([&] { load_grid(nowhere); }), "Unable to open named file. | (none) | ");
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(failure_of([&] { save_grid(grid, 1, broken); }), "output failed. | ostream write() failed. | ");
    // Bytes that stay buffered until the end and then cannot be written fail too.
    if (std::ifstream("/dev/full").good()) {
        EXPECT_EQ(failure_of([&] { save_grid(grid, 1, std::string("/dev/full")); }),
                  "output failed. | ostream write() failed. | ");
    }
}

// A cut anywhere fails in the read that meets the end: a word read inside
// keys, counts and header words, a byte read inside the magic and the planes.
TEST(GridFile, AFileCutShortFailsInTheReadThatMeetsTheEnd) {
    VoxelGrid grid(3, false);
    grid.set_voxel(70, 80, 90);
    const std::string bytes = grid_test::saved_bytes(grid, 1);
    std::string read_kind;  // per byte: 'b' for byte reads, 'w' for word reads
    const std::pair<int, char> fields[] = {{11, 'b'},    {24 + 8, 'w'}, {128, 'b'}, {4 + 8, 'w'},
                                           {128, 'b'},   {4 + 8, 'w'},  {64, 'b'}};
    for (const auto& field : fields) {
        read_kind.append(field.first, field.second);
    }
    ASSERT_EQ(read_kind.size(), bytes.size());
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        ASSERT_EQ(load_failure(bytes.substr(0, cut)),
                  read_kind[cut] == 'b' ? "Input failed. | istream read() failed. | "
                                        : "Input failed. | istream.read() failed. | ")
            << "cut at " << cut;
    }
}

}  // namespace
