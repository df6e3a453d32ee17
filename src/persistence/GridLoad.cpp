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

bool is_uniform(const GridNode& node, bool& solid) {
    solid = node.solid.words[0] != 0;
    return node.is_uniform(solid);
}

bool is_uniform(const LeafBlock& leaf, bool& solid) {
    solid = leaf.bits.words[0] != 0;
    return leaf.bits.is_uniform(solid);
}

// The checks of find_key_fault and find_parent_fault for the records of one
// level, quick when they pass: the bounds and alignment from masks worked
// out once, the parent found again when it is the previous record's. A
// record that fails is handed to those functions for the reason.
class RecordCheck {
public:
    RecordCheck(const VoxelGrid& grid, uint32_t level)
        : grid_(grid),
          level_(level),
          blocks_per_side_(grid.side() >> 3),
          cell_blocks_mask_((uint32_t(1) << 3 * (grid.leaf_level() - level)) - 1),
          parent_child_shift_(3 * (grid.leaf_level() - level + 1)),
          parent_cell_mask_((grid.side() - 1) & ~((uint32_t(1) << 3 * (grid.leaf_level() - level + 2)) - 1)),
          parents_(level > 1 ? &grid.node_map(level - 1) : nullptr) {}

    void check(CellKey key) {
        const uint32_t bx = key.block_x(), by = key.block_y(), bz = key.block_z();
        if (bx >= blocks_per_side_ || by >= blocks_per_side_ || bz >= blocks_per_side_ ||
            ((bx | by | bz) & cell_blocks_mask_) != 0 || !hangs_from_subdivided_child(key)) {
            if (const char* fault = find_key_fault(grid_, level_, key)) reject_format(fault);
            if (const char* fault = find_parent_fault(grid_, level_, key)) reject_format(fault);
        }
    }

    // The hash of the parent's key in the map above (0 at level 1).
    uint64_t parent_hash(CellKey key) const {
        return parents_ ? NodeMap::hash_of(parent_key(key.block_x() << 3, key.block_y() << 3, key.block_z() << 3)) : 0;
    }
    // Fetching a parent's slot, then its entry, ahead of its check.
    void prefetch_parent_slot(uint64_t hash) const {
        if (parents_) parents_->prefetch_slot(hash);
    }
    void prefetch_parent(uint64_t hash) const {
        if (parents_) parents_->prefetch_entry(hash);
    }

private:
    CellKey parent_key(uint32_t x, uint32_t y, uint32_t z) const {
        return CellKey::of_cell(x & parent_cell_mask_, y & parent_cell_mask_, z & parent_cell_mask_);
    }

    // Bounds already checked.
    bool hangs_from_subdivided_child(CellKey key) {
        const uint32_t x = key.block_x() << 3, y = key.block_y() << 3, z = key.block_z() << 3;
        const GridNode* parent = &grid_.root();
        if (parents_) {
            const CellKey wanted = parent_key(x, y, z);
            if (parent_ == nullptr || wanted != parent_key_) {
                parent_ = parents_->find(wanted);
                parent_key_ = wanted;
                if (parent_ == nullptr) return false;
            }
            parent = parent_;
        }
        const uint32_t s = parent_child_shift_;
        return parent->subdivided.test(ChildIndex{(x >> s) & 7u, (y >> s) & 7u, (z >> s) & 7u});
    }

    const VoxelGrid& grid_;
    uint32_t level_;
    uint32_t blocks_per_side_;
    uint32_t cell_blocks_mask_;
    uint32_t parent_child_shift_;  // of a voxel coordinate, to its child in the parent
    uint32_t parent_cell_mask_;    // keeps the bits of a voxel coordinate naming the parent
    const NodeMap* parents_;       // the map above; complete, so its entries stay put
    CellKey parent_key_;           // the last parent looked up
    const GridNode* parent_ = nullptr;
};

// Reads the count and the records of one level a chunk at a time and checks
// each record as it arrives, so a fault is refused before anything after it
// is read, and storage grows only with records that passed. Returns the
// number of subdivided children of the level's nodes; counts the uniform
// records into `uniform`.
template <typename Value>
uint64_t load_level(std::istream& in, const VoxelGrid& grid, CellMap<Value>& map, uint64_t subdivided_above,
                    uint64_t& uniform) {
    constexpr size_t kRecordBytes = BinaryStream::kKeyBytes + sizeof(Value);
    static_assert(sizeof(Value) % BinaryStream::kPlaneBytes == 0, "a value is whole planes");
    constexpr uint32_t kChunkRecords = 1024;
    // Index slots are fetched this many records ahead of their insertion.
    constexpr uint32_t kPrefetchDistance = 16;
    std::vector<unsigned char> chunk;
    std::vector<uint64_t> hashes(kChunkRecords), parent_hashes(kChunkRecords);
    uint64_t subdivided_below = 0;
    RecordCheck record_check(grid, map.level());
    const uint32_t count = BinaryStream::read_u32(in);
    // A sound level holds one entry per subdivided child above it, so the
    // index is sized once for no more than that (slots it never uses are
    // never touched), up to a bound; a larger level grows it as records pass.
    constexpr uint64_t kReservedAtOnce = uint64_t(1) << 22;
    map.reserve(std::min({uint64_t(count), subdivided_above, kReservedAtOnce}));
    for (uint32_t remaining = count; remaining > 0;) {
        const uint32_t wanted = std::min(remaining, kChunkRecords);
        chunk.resize(wanted * kRecordBytes);
        in.read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        const size_t got = static_cast<size_t>(in.gcount());
        const size_t records = got / kRecordBytes;
        map.reserve(uint64_t(map.size()) + records);
        for (size_t i = 0; i < records; ++i) {
            const CellKey key = BinaryStream::decode_key(&chunk[i * kRecordBytes]);
            hashes[i] = CellMap<Value>::hash_of(key);
            parent_hashes[i] = record_check.parent_hash(key);
        }
        // Each record's index slot and parent's slot are fetched a distance
        // ahead, its parent's entry half that distance ahead.
        for (size_t i = 0; i < std::min<size_t>(records, kPrefetchDistance); ++i) {
            map.prefetch_slot(hashes[i]);
            record_check.prefetch_parent_slot(parent_hashes[i]);
        }
        Value value;
        for (size_t i = 0; i < records; ++i) {
            if (i + kPrefetchDistance < records) {
                map.prefetch_slot(hashes[i + kPrefetchDistance]);
                record_check.prefetch_parent_slot(parent_hashes[i + kPrefetchDistance]);
            }
            if (i + kPrefetchDistance / 2 < records) record_check.prefetch_parent(parent_hashes[i + kPrefetchDistance / 2]);
            const unsigned char* record = &chunk[i * kRecordBytes];
            const CellKey key = BinaryStream::decode_key(record);
            record_check.check(key);
            decode(record + BinaryStream::kKeyBytes, value);
            if (map.insert_if_absent(key, hashes[i], value) == nullptr) reject_format(GridFaultText::kDuplicate);
            subdivided_below += subdivided_children(value);
            bool solid = false;
            uniform += is_uniform(value, solid);
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

// Removes the uniform entries of one level, marking their children in the
// parents uniform instead; returns how many it removed.
template <typename Value>
uint32_t collapse_uniform(VoxelGrid& grid, CellMap<Value>& map) {
    const uint32_t level = map.level();
    uint32_t removed = 0;
    for (uint32_t i = map.size(); i-- > 0;) {
        bool solid = false;
        if (!is_uniform(map.entry_at(i).value, solid)) continue;
        const CellKey key = map.entry_at(i).key;
        const uint32_t x = key.block_x() << 3, y = key.block_y() << 3, z = key.block_z() << 3;
        GridNode* parent = level == 1 ? &grid.root() : VoxelGrid::find_entry(grid.node_map(level - 1), grid.key_of(x, y, z, level - 1));
        parent->make_uniform(grid.child_index(x, y, z, level - 1), solid);
        map.remove_at(i);  // the last entry, already looked at, takes its place
        ++removed;
    }
    return removed;
}

// A file may store uniform cells that editing would have collapsed; the grid
// gets them in its canonical form, deepest level first so that collapses
// carry upwards. A level is looked at only when it was loaded with uniform
// entries or the level below collapsed some into it.
void canonicalise(VoxelGrid& grid, const std::vector<uint64_t>& uniform_by_level) {
    bool collapsed = uniform_by_level[grid.leaf_level()] > 0 && collapse_uniform(grid, grid.leaf_map()) > 0;
    for (uint32_t level = grid.leaf_level() - 1; level > 0; --level) {
        collapsed = (collapsed || uniform_by_level[level] > 0) && collapse_uniform(grid, grid.node_map(level)) > 0;
    }
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
    std::vector<uint64_t> uniform_by_level(grid->leaf_level() + 1, 0);
    for (uint32_t level = 1; level < grid->leaf_level(); ++level) {
        subdivided = load_level(in, *grid, grid->node_map(level), subdivided, uniform_by_level[level]);
    }
    load_level(in, *grid, grid->leaf_map(), subdivided, uniform_by_level[grid->leaf_level()]);
    canonicalise(*grid, uniform_by_level);
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
