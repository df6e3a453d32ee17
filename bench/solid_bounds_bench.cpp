// The solid voxels' bounds of a sculpted grid, timed beside its anchor: the
// solid voxel count, which visits every stored node and leaf block once.
// Prints the time ratio bounds / count.
#include <benchmark/benchmark.h>

#include <chrono>

#include "grid/SolidBounds.h"
#include "grid/SolidVoxelCount.h"
#include "grid/VoxelGrid.h"

namespace {

// A solid ball of radius 60 in the middle of a clear grid.
void add_ball(VoxelGrid& grid) {
    const int c = static_cast<int>(grid.side() / 2), r = 60;
    for (int z = -r; z <= r; ++z)
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y + z * z <= r * r) grid.set_voxel(c + x, c + y, c + z);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_SolidBoundsBesideCount(benchmark::State& state) {
    VoxelGrid grid(state.range(0), false);
    add_ball(grid);
    double bounds_time = 0.0;
    double count_time = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(solid_voxel_bounds(grid));
        bounds_time += seconds_since(start);
        start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(count_solid_voxels(grid));
        count_time += seconds_since(start);
    }
    state.counters["bounds_over_count"] = bounds_time / count_time;
}

}  // namespace

BENCHMARK(BM_SolidBoundsBesideCount)->Arg(3)->Arg(5)->Unit(benchmark::kMicrosecond);
