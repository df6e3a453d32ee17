#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

#include "grid/VoxelGrid.h"

// The grid file: a short header, the root node, then the entries of every
// intermediate level's map and of the leaf map. All numbers are unsigned
// 32-bit little-endian words (u32); records follow each other unpadded.
//
//   offset  size  field
//   0       11    magic: "Holloform\n" and one zero byte
//   11      4     version: 2
//   15      4     header length H in bytes (written as 8)
//   19      ..    header words, read until a zero word or until H bytes have
//                 been read (written as one zero word)
//   then    4     skip count S (written as 0), followed by S bytes to skip
//   then    4     boundary flag, kept for the grid's owner
//   then    4     level count, 2 to 8
//   then    136   root node record (its key is written as 0 and ignored)
//   then          for each level 1 .. levels - 2: u32 count N, N node records
//   then    4     leaf count M, then M leaf records of 72 bytes
//
// A node record is the key's high word, its low word, the 16 words of the
// subdivided plane and the 16 words of the solid plane (136 bytes). A leaf
// record is the key and the 16 words of the voxel bits (72 bytes). Records of
// a level are written in the map's file order (CellMap); readers accept any
// order. Bytes after the last leaf record are ignored.
//
// Every failure throws Util_E26EF::Exception with the texts of GridFileText
// and, when a system call failed, its errno.
// A file is untrusted: the loader checks the level count, checks each record
// as it arrives (bounds, alignment, repeats, parent) and refuses the file at
// the first fault, so the memory it writes grows only with records that
// passed (a level's index and storage are set aside at its start for no more
// entries than the level above has subdivided children, and at most 4M; the
// system backs only the parts written, in pages of up to 2 MiB); a level
// must end with every subdivided child above it given its entry.
// Uniform nodes or leaf blocks are collapsed into their parents, so the grid
// returned is the canonical one. The cost stays linear in the file's size.

struct LoadedGrid {
    std::unique_ptr<VoxelGrid> grid;
    uint32_t boundary_flag = 0;
};

// Writes the grid file to the stream or to the file at `path`. A regular
// file at `path` is replaced whole or not at all (see AtomicFileWriter).
void save_grid(const VoxelGrid& grid, uint32_t boundary_flag, std::ostream& out);
void save_grid(const VoxelGrid& grid, uint32_t boundary_flag, const std::string& path);

// Reads a grid file from the stream or from the regular file at `path`
// (anything else, such as a FIFO, is refused without blocking). On failure
// nothing of the partly read grid remains.
LoadedGrid load_grid(std::istream& in);
LoadedGrid load_grid(const std::string& path);
