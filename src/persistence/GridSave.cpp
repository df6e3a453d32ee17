#include <fstream>

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

void write_leaf_record(std::ostream& out, CellKey key, const LeafBlock& leaf) {
    BinaryStream::write_key(out, key);
    BinaryStream::write_plane(out, leaf.bits);
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
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) {
        const NodeMap& map = grid.node_map(level);
        BinaryStream::write_u32(out, map.size());
        map.for_each([&](const NodeMap::Entry& e) { write_node_record(out, e.key, e.value); });
    }
    BinaryStream::write_u32(out, grid.leaf_map().size());
    grid.leaf_map().for_each([&](const LeafMap::Entry& e) { write_leaf_record(out, e.key, e.value); });
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
