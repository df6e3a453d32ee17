#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>

#include "grid/BitPlane.h"
#include "grid/CellKey.h"

// Little-endian reads and writes of the grid file's words, planes and
// records. Each operation checks the stream afterwards and throws
// Util_E26EF::Exception when it failed; a read that meets the end of the
// data before it has all its bytes counts as failed.
namespace BinaryStream {

void write_bytes(std::ostream& out, const void* bytes, size_t count);
void write_u32(std::ostream& out, uint32_t value);
void write_key(std::ostream& out, CellKey key);
void write_plane(std::ostream& out, const BitPlane& plane);

void read_bytes(std::istream& in, void* bytes, size_t count);
uint32_t read_u32(std::istream& in);
CellKey read_key(std::istream& in);
BitPlane read_plane(std::istream& in);
void skip_bytes(std::istream& in, uint32_t count);

// Conversions between little-endian bytes in memory and keys or planes, for
// records read or written many at a time.
constexpr size_t kKeyBytes = 8;
constexpr size_t kPlaneBytes = BitPlane::kWordCount * 4;
CellKey decode_key(const unsigned char* bytes);
void decode_plane(const unsigned char* bytes, BitPlane& plane);
void encode_key(CellKey key, unsigned char* bytes);
void encode_plane(const BitPlane& plane, unsigned char* bytes);

}  // namespace BinaryStream
