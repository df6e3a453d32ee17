#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>

#include "grid/GridAffector.h"
#include "grid/VoxelGrid.h"
#include "grid/World.h"

// Installs in `world` a ball of radius 60 in the middle of a clear 3-level
// grid, then roughens it with 300 random brush strokes (adds and removes of
// all eight brushes) on its surface. The same seed every time.
inline void sculpt_ball(World& world) {
    constexpr int kRadius = 60;
    constexpr int kCentre = 256;
    auto grid = std::make_unique<VoxelGrid>(3, false);
    for (int z = -kRadius; z <= kRadius; ++z)
        for (int y = -kRadius; y <= kRadius; ++y)
            for (int x = -kRadius; x <= kRadius; ++x)
                if (x * x + y * y + z * z <= kRadius * kRadius) grid->set_voxel(kCentre + x, kCentre + y, kCentre + z);
    install_grid(world, std::move(grid), 0);
    const auto brushes = make_grid_affectors();
    std::mt19937 random(5);
    std::normal_distribution<double> normal;
    for (int stroke = 0; stroke < 300; ++stroke) {
        double d[3] = {normal(random), normal(random), normal(random)};
        const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const double r = kRadius + std::uniform_real_distribution<double>(-2.0, 2.0)(random);
        const VoxelPosition at{uint32_t(kCentre + d[0] / length * r), uint32_t(kCentre + d[1] / length * r),
                               uint32_t(kCentre + d[2] / length * r)};
        const GridAffector& brush = *brushes[stroke % brushes.size()];
        if (random() % 3 == 0) {
            brush.remove_shape(world, at);
        } else {
            brush.add_shape(world, at);
        }
    }
}
