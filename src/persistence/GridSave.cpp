#include <fstream>
#include <vector>

#include "persistence/AtomicFileWriter.h"
#include "persistence/BinaryStream.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"
#include "persistence/GridFileText.h"

namespace {

constexpr char kMagic[11] = "Holloform\n";
constexpr uint32_t kVersion = 2;
constexpr uint32_t kHeaderLength = 8;

void write_node_record(std::ostream& out, CellKey key, const GridNode& node) {
    BinaryStream::write_key(out, key);
    BinaryStream::write_plane(out, node.subdivided);
    BinaryStream::write_plane(out, node.solid);
}

void encode(const GridNode& node, unsigned char* bytes) {
    BinaryStream::encode_plane(node.subdivided, bytes);
    BinaryStream::encode_plane(node.solid, bytes + BinaryStream::kPlaneBytes);
}

void encode(const LeafBlock& leaf, unsigned char* bytes) { BinaryStream::encode_plane(leaf.bits, bytes); }

// Writes the entry count and the records of one map in its file order,
// encoded a chunk at a time.
template <typename Value>
void write_level(std::ostream& out, const CellMap<Value>& map) {
    constexpr size_t kRecordBytes = BinaryStream::kKeyBytes + sizeof(Value);
    constexpr size_t kChunkRecords = 1024;
    BinaryStream::write_u32(out, map.size());
    std::vector<unsigned char> chunk(kChunkRecords * kRecordBytes);
    size_t used = 0;
    map.for_each_in_file_order([&](const typename CellMap<Value>::Entry& e) {
        BinaryStream::encode_key(e.key, &chunk[used]);
        encode(e.value, &chunk[used + BinaryStream::kKeyBytes]);
        used += kRecordBytes;
        if (used == chunk.size()) {
            BinaryStream::write_bytes(out, chunk.data(), used);
            used = 0;
        }
    });
    if (used > 0) BinaryStream::write_bytes(out, chunk.data(), used);
}

}  // namespace

void save_grid(const VoxelGrid& grid, uint32_t boundary_flag, std::ostream& out) {
    BinaryStream::write_bytes(out, kMagic, sizeof kMagic);
    BinaryStream::write_u32(out, kVersion);
    BinaryStream::write_u32(out, kHeaderLength);
    BinaryStream::write_u32(out, 0);  // the header's terminating word
    BinaryStream::write_u32(out, 0);  // nothing to skip
    BinaryStream::write_u32(out, boundary_flag);
    BinaryStream::write_u32(out, grid.levels());
    write_node_record(out, CellKey{}, grid.root());
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) write_level(out, grid.node_map(level));
    write_level(out, grid.leaf_map());
    // Buffered bytes can still fail to reach the file; that is a write failure too.
    out.flush();
    if (out.fail()) throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed};
}

// The file is replaced only once it has been written whole (see
// AtomicFileWriter); a failure leaves the previous file as it was.
void save_grid(const VoxelGrid& grid, uint32_t boundary_flag, const std::string& path) {
    AtomicFileWriter file(path);
    if (!file.is_open()) {
        throw Util_E26EF::Exception{0, GridFileText::kCannotOpenForWriting, nullptr, file.error_number()};
    }
    try {
        save_grid(grid, boundary_flag, file.stream());
    } catch (Util_E26EF::Exception& error) {
        error.error_number = file.error_number();
        throw;
    }
    if (!file.commit()) {
        throw Util_E26EF::Exception{0, GridFileText::kOutputFailed, GridFileText::kWriteFailed, file.error_number()};
    }
}
