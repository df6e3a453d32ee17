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

// A ball of radius 60 in the middle of a clear 3-level grid, roughened by 2000
// strokes of random brushes at random places in its bounding cube, with its
// surface built. The same seed every time.
inline std::unique_ptr<World> randomly_sculpted_ball() {
    auto grid = std::make_unique<VoxelGrid>(3, false);
    const int c = static_cast<int>(grid->side() / 2), r = 60;
    for (int z = -r; z <= r; ++z)
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y + z * z <= r * r) grid->set_voxel(c + x, c + y, c + z);
    auto world = std::make_unique<World>();
    install_grid(*world, std::move(grid), 0);
    const auto brushes = make_grid_affectors();
    std::mt19937 random(3);
    std::uniform_int_distribution<int> offset(-r, r);
    for (int i = 0; i < 2000; ++i) {
        const VoxelPosition at{uint32_t(c + offset(random)), uint32_t(c + offset(random)), uint32_t(c + offset(random))};
        const GridAffector& brush = *brushes[random() % kGridAffectorCount];
        if (random() % 2) {
            brush.add_shape(*world, at);
        } else {
            brush.remove_shape(*world, at);
        }
    }
    return world;
}
