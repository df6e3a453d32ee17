#pragma once

#include <cstdint>

// The voxel index of a coordinate: rounded down, with not-a-number and
// everything below 0 giving 0 and everything past the unsigned 32-bit range
// giving its largest value.
inline std::uint32_t clamped_voxel_index(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967296.0f) return UINT32_MAX;
    return static_cast<std::uint32_t>(value);
}
