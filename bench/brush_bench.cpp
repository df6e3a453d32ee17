// Brush strokes per second for each of the eight brushes: the shape added and
// then removed again at places on the surface of a sculpted ball, with the
// settling, the cascades and the surface upkeep that come with them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "grid/GridAffector.h"
#include "grid/World.h"

namespace {

constexpr int kBallRadius = 60;

// A ball in a clear grid of 3 levels, roughened by random strokes, with its
// surface built.
std::unique_ptr<World> sculpted_world() {
    auto grid = std::make_unique<VoxelGrid>(3, false);
    const int c = static_cast<int>(grid->side() / 2), r = kBallRadius;
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

// Points on the ball's surface, spread evenly at random.
std::vector<VoxelPosition> surface_points(uint32_t side) {
    std::mt19937 random(8);
    std::normal_distribution<double> normal;
    std::vector<VoxelPosition> points;
    for (int i = 0; i < 4096; ++i) {
        const double x = normal(random), y = normal(random), z = normal(random);
        const double scale = kBallRadius / std::sqrt(x * x + y * y + z * z);
        points.push_back(VoxelPosition{uint32_t(side / 2 + x * scale), uint32_t(side / 2 + y * scale),
                                       uint32_t(side / 2 + z * scale)});
    }
    return points;
}

void BM_BrushStroke(benchmark::State& state) {
    const size_t k = static_cast<size_t>(state.range(0));
    state.SetLabel(grid_affector_name(k));
    const std::unique_ptr<World> world = sculpted_world();
    const std::vector<VoxelPosition> places = surface_points(world->grid().side());
    const auto brushes = make_grid_affectors();
    const GridAffector& brush = *brushes[k];
    size_t i = 0;
    for (auto _ : state) {
        const VoxelPosition& at = places[i++ % places.size()];
        brush.add_shape(*world, at);
        brush.remove_shape(*world, at);
    }
    state.counters["strokes_per_second"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                              benchmark::Counter::kIsRate);
    state.counters["vertices"] = static_cast<double>(world->vertices().size());
}
BENCHMARK(BM_BrushStroke)->DenseRange(0, kGridAffectorCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
