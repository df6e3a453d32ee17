// Saving and loading a grid of about 100,000 leaf blocks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "persistence/GridFile.h"

namespace {

// A grid of 5 levels with one solid voxel in every leaf block whose centre
// lies on a spherical shell of radius 89 blocks: about 100,000 leaf blocks.
const VoxelGrid& shell_grid() {
    static const std::unique_ptr<VoxelGrid> grid = [] {
        auto made = std::make_unique<VoxelGrid>(5, false);
        const int centre = static_cast<int>(made->side() / 16), radius = 89;
        for (int z = -radius - 1; z <= radius + 1; ++z)
            for (int y = -radius - 1; y <= radius + 1; ++y)
                for (int x = -radius - 1; x <= radius + 1; ++x) {
                    const double distance = std::sqrt(double(x * x + y * y + z * z));
                    if (std::fabs(distance - radius) < 0.5) {
                        made->set_voxel(8 * (centre + x) + 3, 8 * (centre + y) + 4, 8 * (centre + z) + 5);
                    }
                }
        return made;
    }();
    return *grid;
}

std::string bench_path() { return "/tmp/holloform_bench_grid_" + std::to_string(getpid()) + ".grid"; }

void BM_SaveGrid(benchmark::State& state) {
    const VoxelGrid& grid = shell_grid();
    const std::string path = bench_path();
    for (auto _ : state) save_grid(grid, 1, path);
    state.counters["leaf_blocks"] = grid.leaf_map().size();
    std::remove(path.c_str());
}

void BM_LoadGrid(benchmark::State& state) {
    const VoxelGrid& grid = shell_grid();
    const std::string path = bench_path();
    save_grid(grid, 1, path);
    for (auto _ : state) benchmark::DoNotOptimize(load_grid(path));
    state.counters["leaf_blocks"] = grid.leaf_map().size();
    std::remove(path.c_str());
}

BENCHMARK(BM_SaveGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGrid)->Unit(benchmark::kMillisecond);

}  // namespace
