// Saving a grid file, and loading one against a bare read() of the same
// bytes (the ratio is load time over read time, from the thread's processor
// time; wall_ratio from elapsed time; the goal is at most 5).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "SideBySide.h"
#include "persistence/GridFile.h"

namespace {

// A grid of 4 levels with random voxels in a 1024^3 region: about 260,000
// leaf blocks, a file of about 19 MB.
const VoxelGrid& random_grid() {
    static const std::unique_ptr<VoxelGrid> grid = [] {
        auto made = std::make_unique<VoxelGrid>(4, false);
        std::mt19937 random(3);
        std::uniform_int_distribution<uint32_t> offset(0, 1023);
        for (int i = 0; i < 290000; ++i) made->set_voxel(1536 + offset(random), 1536 + offset(random), 1536 + offset(random));
        return made;
    }();
    return *grid;
}

std::string bench_path() { return "/tmp/holloform_bench_grid_" + std::to_string(getpid()) + ".grid"; }

void read_whole_file(const std::string& path, std::vector<char>& buffer) {
    const int fd = open(path.c_str(), O_RDONLY);
    size_t used = 0;
    for (ssize_t got; (got = read(fd, buffer.data() + used, buffer.size() - used)) > 0;) used += size_t(got);
    close(fd);
    benchmark::DoNotOptimize(used);
}

void BM_SaveGrid(benchmark::State& state) {
    const VoxelGrid& grid = random_grid();
    const std::string path = bench_path();
    for (auto _ : state) save_grid(grid, 1, path);
    state.counters["leaf_blocks"] = grid.leaf_map().size();
    std::remove(path.c_str());
}

void BM_LoadGridAgainstRead(benchmark::State& state) {
    const VoxelGrid& grid = random_grid();
    const std::string path = bench_path();
    save_grid(grid, 1, path);
    std::vector<char> buffer(size_t(64) << 20);
    auto load = [&] { benchmark::DoNotOptimize(load_grid(path)); };
    auto bare_read = [&] { read_whole_file(path, buffer); };
    // Processor time of the thread (the reads are system time), and the
    // elapsed time beside it.
    std::vector<double> load_s, read_s, load_wall, read_wall;
    for (auto _ : state) {
        for (int r = 0; r < 7; ++r) {
            load_wall.push_back(side_by_side::seconds_of([&] { load_s.push_back(side_by_side::thread_seconds_of(load)); }));
            read_wall.push_back(side_by_side::seconds_of([&] { read_s.push_back(side_by_side::thread_seconds_of(bare_read)); }));
        }
    }
    const double items = double(grid.leaf_map().size());
    state.counters["ns_per_item"] = side_by_side::median(load_s) * 1e9 / items;
    state.counters["anchor_ns"] = side_by_side::median(read_s) * 1e9 / items;
    state.counters["ratio"] = side_by_side::median(load_s) / side_by_side::median(read_s);
    state.counters["wall_ratio"] = side_by_side::median(load_wall) / side_by_side::median(read_wall);
    state.counters["leaf_blocks"] = grid.leaf_map().size();
    std::remove(path.c_str());
}

// The cost of saving whole-or-nothing (temporary file, sync to the disk,
// rename) against the anchor: the same bytes written in place through a
// plain file stream, measured side by side; the counter is their ratio.
void BM_SaveGridAtomicAgainstInPlace(benchmark::State& state) {
    const VoxelGrid& grid = random_grid();
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
    const VoxelGrid& grid = random_grid();
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
BENCHMARK(BM_LoadGridAgainstRead)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGridAgainstFileStream)->Unit(benchmark::kMillisecond);

}  // namespace
