#pragma once

#include <cstdint>

// A block of voxels given by its lowest and highest voxel on each axis, both
// inclusive: voxel (x, y, z) is inside when x0 <= x <= x1 and likewise on y
// and z. Its outer faces lie at x0 and x1 + 1 (and so on) in world units.
struct IntBox {
    uint32_t x0 = 0;
    uint32_t y0 = 0;
    uint32_t z0 = 0;
    uint32_t x1 = 0;
    uint32_t y1 = 0;
    uint32_t z1 = 0;

    // Bounds by axis number (0 = x, 1 = y, 2 = z).
    uint32_t lower(uint32_t axis) const { return axis == 0 ? x0 : axis == 1 ? y0 : z0; }
    uint32_t upper(uint32_t axis) const { return axis == 0 ? x1 : axis == 1 ? y1 : z1; }

    // Lower bound not above the upper one on every axis.
    bool is_ordered() const { return x0 <= x1 && y0 <= y1 && z0 <= z1; }

    // Ordered and every voxel inside 0 .. side - 1 on every axis.
    bool fits_within(uint32_t side) const { return is_ordered() && x1 < side && y1 < side && z1 < side; }

    bool operator==(const IntBox& other) const {
        return x0 == other.x0 && y0 == other.y0 && z0 == other.z0 && x1 == other.x1 && y1 == other.y1 &&
               z1 == other.z1;
    }
    bool operator!=(const IntBox& other) const { return !(*this == other); }
};
