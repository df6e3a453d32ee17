#pragma once

#include <cstdint>

// Key of a node or leaf block: the cell's lowest voxel (X, Y, Z) packed as
// (X >> 3) << 42 | (Y >> 3) << 21 | (Z >> 3), three fields of 21 bits, held as
// two 32-bit words, high word first. Every 64-bit value decodes to exactly one
// cell corner, so two keys are equal exactly when their cells are.
struct CellKey {
    uint32_t high = 0;
    uint32_t low = 0;

    static CellKey of_cell(uint32_t x, uint32_t y, uint32_t z) {
        CellKey key;
        key.high = (x >> 3) << 10 | (y >> 14);
        key.low = (y >> 3) << 21 | (z >> 3);
        return key;
    }

    uint64_t value() const { return uint64_t(high) << 32 | low; }

    // The three block coordinates (voxel coordinate divided by 8). The x part
    // can reach 22 bits for keys that no grid produces.
    uint32_t block_x() const { return high >> 10; }
    uint32_t block_y() const { return (high & 0x3FFu) << 11 | low >> 21; }
    uint32_t block_z() const { return low & 0x1FFFFFu; }

    bool operator==(const CellKey& other) const { return high == other.high && low == other.low; }
    bool operator!=(const CellKey& other) const { return !(*this == other); }
};
