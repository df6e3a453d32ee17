// Saving a grid file, and loading one against a bare read() of the same
// bytes (the ratio is load time over read time; the goal is at most 5).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
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
    side_by_side::report(state, 7, double(grid.leaf_map().size()), load, &bare_read);
    state.counters["leaf_blocks"] = grid.leaf_map().size();
    std::remove(path.c_str());
}

BENCHMARK(BM_SaveGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadGridAgainstRead)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
