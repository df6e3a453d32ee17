#pragma once

#include <cstdint>

// Position of a child inside its 8 x 8 x 8 parent, each component 0..7.
struct ChildIndex {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t z = 0;
};

// One bit for each of the 512 children of a node or voxels of a leaf block.
// The bit of child (cx, cy, cz) is bit cx of byte cy + 8 * cz; the bytes are
// held as 16 little-endian 32-bit words, so the bit number within the plane
// is cx + 8 * cy + 64 * cz.
struct BitPlane {
    static constexpr uint32_t kWordCount = 16;
    static constexpr uint32_t kAllOnes = 0xFFFFFFFFu;

    uint32_t words[kWordCount] = {};

    static BitPlane filled(bool ones) {
        BitPlane plane;
        for (uint32_t& word : plane.words) word = ones ? kAllOnes : 0u;
        return plane;
    }

    static uint32_t bit_number(ChildIndex c) { return c.x + 8u * c.y + 64u * c.z; }

    bool test(ChildIndex c) const {
        const uint32_t n = bit_number(c);
        return (words[n >> 5] >> (n & 31u)) & 1u;
    }
    void set(ChildIndex c) {
        const uint32_t n = bit_number(c);
        words[n >> 5] |= 1u << (n & 31u);
    }
    void reset(ChildIndex c) {
        const uint32_t n = bit_number(c);
        words[n >> 5] &= ~(1u << (n & 31u));
    }
    void assign(ChildIndex c, bool value) {
        if (value) {
            set(c);
        } else {
            reset(c);
        }
    }

    bool is_all_zeros() const {
        for (uint32_t word : words) {
            if (word != 0u) return false;
        }
        return true;
    }
    bool is_all_ones() const {
        for (uint32_t word : words) {
            if (word != kAllOnes) return false;
        }
        return true;
    }
    bool is_uniform(bool ones) const { return ones ? is_all_ones() : is_all_zeros(); }

    uint32_t count() const {
        uint32_t total = 0;
        for (uint32_t word : words) total += static_cast<uint32_t>(__builtin_popcount(word));
        return total;
    }

    bool operator==(const BitPlane& other) const {
        for (uint32_t i = 0; i < kWordCount; ++i) {
            if (words[i] != other.words[i]) return false;
        }
        return true;
    }
    bool operator!=(const BitPlane& other) const { return !(*this == other); }
};
