#pragma once

#include <cstdint>

#include "grid/BitPlane.h"

// The 8 bits of the children of a plane that lie on one line along `axis`
// (0 = x, 1 = y, 2 = z) through child `c` (whose own component on the axis
// is ignored), bit i holding the child at index i along the axis.
inline uint32_t row_bits(const BitPlane& plane, ChildIndex c, uint32_t axis) {
    if (axis == 0) {
        const uint32_t n = 8u * c.y + 64u * c.z;
        return (plane.words[n >> 5] >> (n & 31u)) & 0xFFu;
    }
    if (axis == 1) {
        // The 64 children of one z layer, one byte per y; keep bit x of each
        // byte and gather the eight into the top byte with one multiply.
        const uint64_t layer = plane.words[2 * c.z] | uint64_t(plane.words[2 * c.z + 1]) << 32;
        const uint64_t column = (layer >> c.x) & 0x0101010101010101ull;
        return static_cast<uint32_t>((column * 0x0102040810204080ull) >> 56);
    }
    const uint32_t n = c.x + 8u * c.y;
    const uint32_t* words = plane.words + (n >> 5);
    const uint32_t shift = n & 31u;
    uint32_t bits = 0;
    for (uint32_t k = 0; k < 8; ++k) bits |= ((words[2 * k] >> shift) & 1u) << k;
    return bits;
}

// Bits first .. last - 1 set (0 <= first <= last <= 8).
inline uint32_t bit_range(uint32_t first, uint32_t last) {
    return ((1u << last) - 1u) & ~((1u << first) - 1u);
}
