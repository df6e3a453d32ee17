#pragma once

#include <cstdint>
#include <tuple>

// The integer coordinates of one voxel (a grid point). Edits record the
// voxels they change as lists of these.
struct VoxelPosition {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t z = 0;
};

inline bool operator==(const VoxelPosition& a, const VoxelPosition& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const VoxelPosition& a, const VoxelPosition& b) { return !(a == b); }

// Orders positions by z, then y, then x: the order in which the surface upkeep
// visits the points around an edit.
struct ZyxOrder {
    bool operator()(const VoxelPosition& a, const VoxelPosition& b) const {
        return std::tie(a.z, a.y, a.x) < std::tie(b.z, b.y, b.x);
    }
};
