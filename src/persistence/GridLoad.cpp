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

void decode(const unsigned char* bytes, GridNode& node) {
    BinaryStream::decode_plane(bytes, node.subdivided);
    BinaryStream::decode_plane(bytes + BinaryStream::kPlaneBytes, node.solid);
}

void decode(const unsigned char* bytes, LeafBlock& leaf) { BinaryStream::decode_plane(bytes, leaf.bits); }

uint64_t subdivided_children(const GridNode& node) { return node.subdivided.count(); }
uint64_t subdivided_children(const LeafBlock&) { return 0; }

// Reads the count and the records of one level a chunk at a time and checks
// each record as it arrives, so a fault is refused before anything after it
// is read, and storage grows only with records that passed. Returns the
// number of subdivided children of the level's nodes.
template <typename Value>
uint64_t load_level(std::istream& in, const VoxelGrid& grid, CellMap<Value>& map, uint64_t subdivided_above) {
    constexpr size_t kRecordBytes = BinaryStream::kKeyBytes + sizeof(Value);
    static_assert(sizeof(Value) % BinaryStream::kPlaneBytes == 0, "a value is whole planes");
    constexpr uint32_t kChunkRecords = 1024;
    std::vector<unsigned char> chunk;
    uint64_t subdivided_below = 0;
    const uint32_t level = map.level();
    for (uint32_t remaining = BinaryStream::read_u32(in); remaining > 0;) {
        const uint32_t wanted = std::min(remaining, kChunkRecords);
        chunk.resize(wanted * kRecordBytes);
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        const size_t got = static_cast<size_t>(in.gcount());
        map.reserve(uint64_t(map.size()) + got / kRecordBytes);
        Value value;
        for (size_t offset = 0; offset + kRecordBytes <= got; offset += kRecordBytes) {
            const CellKey key = BinaryStream::decode_key(&chunk[offset]);
            if (const char* fault = find_key_fault(grid, level, key)) reject_format(fault);
            if (const char* fault = find_parent_fault(grid, level, key)) reject_format(fault);
            decode(&chunk[offset + BinaryStream::kKeyBytes], value);
            if (map.insert_if_absent(key, value) == nullptr) reject_format(GridFaultText::kDuplicate);
            subdivided_below += subdivided_children(value);
        }
        if (got < chunk.size()) {
            // The record that met the end: its key is read as two words,
            // the rest as bytes.
            const bool in_key = got % kRecordBytes < BinaryStream::kKeyBytes;
            reject(GridFileText::kInputFailed, in_key ? GridFileText::kReadWordFailed : GridFileText::kReadBytesFailed);
        }
        remaining -= wanted;
    }
    if (map.size() != subdivided_above) reject_format(GridFaultText::kMissingChild);
    return subdivided_below;
}

bool is_uniform(const GridNode& node, bool& solid) {
    solid = node.solid.words[0] != 0;
    return node.is_uniform(solid);
}

bool is_uniform(const LeafBlock& leaf, bool& solid) {
    solid = leaf.bits.words[0] != 0;
    return leaf.bits.is_uniform(solid);
}

// Removes the uniform entries of one level, marking their children in the
// parents uniform instead.
template <typename Value>
void collapse_uniform(VoxelGrid& grid, CellMap<Value>& map) {
    const uint32_t level = map.level();
    for (uint32_t i = map.size(); i-- > 0;) {
        bool solid = false;
        if (!is_uniform(map.entry_at(i).value, solid)) continue;
        const CellKey key = map.entry_at(i).key;
        const uint32_t x = key.block_x() << 3, y = key.block_y() << 3, z = key.block_z() << 3;
        GridNode* parent = level == 1 ? &grid.root() : VoxelGrid::find_entry(grid.node_map(level - 1), grid.key_of(x, y, z, level - 1));
        parent->make_uniform(grid.child_index(x, y, z, level - 1), solid);
        map.remove_at(i);  // the last entry, already looked at, takes its place
    }
}

// A file may store uniform cells that editing would have collapsed; the grid
// gets them in its canonical form, deepest level first so that collapses
// carry upwards.
void canonicalise(VoxelGrid& grid) {
    collapse_uniform(grid, grid.leaf_map());
    for (uint32_t level = grid.leaf_level() - 1; level > 0; --level) collapse_uniform(grid, grid.node_map(level));
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
    uint64_t subdivided = grid->root().subdivided.count();
    for (uint32_t level = 1; level < grid->leaf_level(); ++level) {
        subdivided = load_level(in, *grid, grid->node_map(level), subdivided);
    }
    load_level(in, *grid, grid->leaf_map(), subdivided);
    canonicalise(*grid);
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
