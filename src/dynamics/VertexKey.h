#pragma once

#include <cstdint>
#include <tuple>

// A vertex key packs the voxel coordinates (x, y, z) of a surface vertex into one number. With b bits per
// coordinate, key = x * 2^(2b) + y * 2^b + z, so comparing keys as numbers orders the vertices by x, then y,
// then z. A grid of L levels has 8^L = 2^(3L) voxels per side and needs b = 3L; eight levels need 72 bits,
// hence the 128-bit key. For up to seven levels the key fits in its low 64 bits.
using VertexKey = unsigned __int128;

// The integer voxel coordinates of a grid point.
struct VertexCoordinates {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t z = 0;
};

inline bool operator==(const VertexCoordinates& a, const VertexCoordinates& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// Lexicographic (x, y, z): the order of the packed keys.
inline bool operator<(const VertexCoordinates& a, const VertexCoordinates& b) {
    return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
}

// Bits per coordinate for a grid of `levels` levels: three per level, at most 32, the width of a coordinate.
uint32_t key_bits_for_levels(uint32_t levels);

// Packs with `bits` bits per coordinate. Each coordinate is first reduced modulo 2^bits, so a point that
// wrapped around the grid's edge maps to the wrapped voxel instead of spilling into the next field.
VertexKey pack_vertex_key(VertexCoordinates voxel, uint32_t bits);

// The inverse of pack_vertex_key; bits above the three fields are ignored.
VertexCoordinates unpack_vertex_key(VertexKey key, uint32_t bits);
