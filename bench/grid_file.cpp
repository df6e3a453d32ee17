// Saving and loading a grid of about 100,000 leaf blocks.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
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

// The cost of saving whole-or-nothing (temporary file, sync to the disk,
// rename) against the anchor: the same bytes written in place through a
// plain file stream, measured side by side; the counter is their ratio.
void BM_SaveGridAtomicAgainstInPlace(benchmark::State& state) {
    const VoxelGrid& grid = shell_grid();
    const std::string path = bench_path();
    double atomic_seconds = 0, in_place_seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        save_grid(grid, 1, path);
        const auto middle = std::chrono::steady_clock::now();
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            save_grid(grid, 1, out);
        }
        const auto end = std::chrono::steady_clock::now();
        atomic_seconds += std::chrono::duration<double>(middle - start).count();
        in_place_seconds += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["atomic_to_in_place"] = atomic_seconds / in_place_seconds;
    std::remove(path.c_str());
}

// Loading from a path (regular files only, read through a descriptor)
// against the anchor: the same file read through a plain file stream.
void BM_LoadGridAgainstFileStream(benchmark::State& state) {
    const VoxelGrid& grid = shell_grid();
    const std::string path = bench_path();
    save_grid(grid, 1, path);
    double path_seconds = 0, stream_seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(load_grid(path));
        const auto middle = std::chrono::steady_clock::now();
        std::ifstream in(path, std::ios::binary);
        benchmark::DoNotOptimize(load_grid(in));
        const auto end = std::chrono::steady_clock::now();
        path_seconds += std::chrono::duration<double>(middle - start).count();
        stream_seconds += std::chrono::duration<double>(end - middle).count();
    }
    state.counters["path_to_stream"] = path_seconds / stream_seconds;
    std::remove(path.c_str());
}

BENCHMARK(BM_SaveGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveGridAtomicAgainstInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGridAgainstFileStream)->Unit(benchmark::kMillisecond);

}  // namespace
