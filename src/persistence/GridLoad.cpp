#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

#include "grid/GridInvariants.h"
#include "persistence/BinaryStream.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"
#include "persistence/GridFileText.h"
#include "persistence/RegularFileReader.h"

namespace {

constexpr char kMagic[11] = "Holloform\n";
constexpr uint32_t kVersion = 2;
// Room reserved ahead for a level's records; beyond it the storage grows only
// as records actually arrive, so a count larger than the data costs nothing.
constexpr uint32_t kReserveLimit = 4096;

[[noreturn]] void reject(const char* message, const char* detail) {
    throw Util_E26EF::Exception{0, message, detail};
}

// The file's structure is not what a grid file holds: say why on standard
// error and give up.
[[noreturn]] void reject_format(const char* detail) {
    std::cerr << detail << std::endl;
    reject(GridFileText::kNotUnderstood, detail);
}

void check_magic(std::istream& in) {
    char bytes[sizeof kMagic];
    BinaryStream::read_bytes(in, bytes, sizeof bytes);
    // Compared as zero-terminated strings: the ten characters, then the zero.
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) {
        std::cerr << std::endl << std::endl << GridFileText::kUnknownFileType << std::endl << std::endl;
        reject(GridFileText::kUnknownFileType, nullptr);
    }
}

void check_version(std::istream& in) {
    if (BinaryStream::read_u32(in) != kVersion) {
        std::cerr << std::endl << std::endl << GridFileText::kOldVersionExplanation << std::endl << std::endl;
        reject(GridFileText::kOldVersion, nullptr);
    }
}

// The header holds up to H bytes of words ended by a zero word. A header
// whose length is not a multiple of four can be passed without finding the
// zero word; only running exactly onto its end means no zero word was found.
void scan_header(std::istream& in) {
    const uint64_t length = BinaryStream::read_u32(in);
    uint64_t scanned = 0;
    while (scanned < length) {
        if (BinaryStream::read_u32(in) == 0) break;
        scanned += 4;
    }
    if (scanned == length) reject_format(GridFileText::kNoDataOffset);
}

GridNode read_node(std::istream& in) {
    GridNode node;
    node.subdivided = BinaryStream::read_plane(in);
    node.solid = BinaryStream::read_plane(in);
    return node;
}

LeafBlock read_leaf(std::istream& in) { return LeafBlock{BinaryStream::read_plane(in)}; }

// Reads a count and that many records of one level.
template <typename Value>
std::vector<typename CellMap<Value>::Entry> read_level(std::istream& in, Value (*read_value)(std::istream&)) {
    const uint32_t count = BinaryStream::read_u32(in);
    std::vector<typename CellMap<Value>::Entry> entries;
    entries.reserve(std::min(count, kReserveLimit));
    for (uint32_t i = 0; i < count; ++i) {
        const CellKey key = BinaryStream::read_key(in);
        entries.push_back({key, read_value(in)});
    }
    return entries;
}

}  // namespace

LoadedGrid load_grid(std::istream& in) {
    check_magic(in);
    check_version(in);
    scan_header(in);
    BinaryStream::skip_bytes(in, BinaryStream::read_u32(in));
    const uint32_t boundary_flag = BinaryStream::read_u32(in);
    const uint32_t levels = BinaryStream::read_u32(in);
    if (!VoxelGrid::supports_levels(levels)) reject_format(GridFileText::kLevelCountUnsupported);

    auto grid = std::make_unique<VoxelGrid>(levels, false);
    BinaryStream::read_key(in);  // the root has no key
    grid->root() = read_node(in);
    for (uint32_t level = 1; level < grid->leaf_level(); ++level) {
        grid->node_map(level).insert_all(read_level(in, read_node));
    }
    grid->leaf_map().insert_all(read_level(in, read_leaf));
    if (const char* fault = find_grid_fault(*grid)) reject_format(fault);
    return LoadedGrid{std::move(grid), boundary_flag};
}

// Only a regular file is read, and opening it never blocks.
LoadedGrid load_grid(const std::string& path) {
    RegularFileReader file(path);
    if (!file.is_open()) {
        throw Util_E26EF::Exception{0, GridFileText::kCannotOpenForReading, nullptr, file.error_number()};
    }
    try {
        return load_grid(file.stream());
    } catch (Util_E26EF::Exception& error) {
        error.error_number = file.error_number();
        throw;
    }
}
