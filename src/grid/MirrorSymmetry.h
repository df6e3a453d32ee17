#pragma once

#include <cstdint>

#include "grid/VoxelPosition.h"

// Mirror planes for the brushes: up to three, one across each axis, all
// through one centre point p. Mirroring across x sends voxel x to
// 2p - 1 - x, so the centre is kept doubled, as an integer: a boundary
// between voxels (the grid's middle, 2p = side) or the middle of a voxel v
// (2p = 2v + 1, which maps v onto itself).
//
// Coordinates wrap modulo 2^32 like the brushes' own, so a brush voxel just
// below 0 mirrors to the voxel just beyond 2p - 1; images that fall outside
// the grid are left to the world's safe-range test.
struct MirrorSymmetry {
    bool axes[3] = {false, false, false};
    uint32_t twice_centre[3] = {0, 0, 0};

    // The centre in the middle of a grid of that side.
    static MirrorSymmetry centred(uint32_t side) {
        MirrorSymmetry mirror;
        for (uint32_t& c : mirror.twice_centre) c = side;
        return mirror;
    }

    // Number of images of each voxel, the voxel itself included: 1, 2, 4 or 8.
    uint32_t image_count() const { return 1u << (uint32_t(axes[0]) + uint32_t(axes[1]) + uint32_t(axes[2])); }

    // Image `index` (0 .. image_count() - 1) of voxel v: bit k of the index
    // set mirrors across the k-th enabled axis. Image 0 is v itself.
    VoxelPosition image(VoxelPosition v, uint32_t index) const {
        uint32_t c[3] = {v.x, v.y, v.z};
        uint32_t bit = 0;
        for (int axis = 0; axis < 3; ++axis) {
            if (!axes[axis]) continue;
            if (index >> bit & 1u) c[axis] = twice_centre[axis] - 1u - c[axis];
            ++bit;
        }
        return VoxelPosition{c[0], c[1], c[2]};
    }
};
