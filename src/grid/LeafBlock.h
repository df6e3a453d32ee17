#pragma once

#include "grid/BitPlane.h"

// The 8 x 8 x 8 voxels at the bottom of the hierarchy, one bit each (1 = solid).
struct LeafBlock {
    BitPlane bits;

    bool operator==(const LeafBlock& other) const { return bits == other.bits; }
    bool operator!=(const LeafBlock& other) const { return !(*this == other); }
};
