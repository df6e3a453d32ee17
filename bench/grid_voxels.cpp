// Voxel edits and queries on grids of 3 and 5 levels, in scan order
// (coherent) and at random places.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "grid/VoxelGrid.h"

namespace {

constexpr uint32_t kBox = 64;  // side of the scanned box, in voxels

struct Voxel {
    uint32_t x, y, z;
};

// The voxels of a kBox cube, straddling the middle of the grid, in scan order.
std::vector<Voxel> coherent_voxels(uint32_t side) {
    std::vector<Voxel> voxels;
    const uint32_t origin = side / 2 - kBox / 2;
    for (uint32_t z = 0; z < kBox; ++z)
        for (uint32_t y = 0; y < kBox; ++y)
            for (uint32_t x = 0; x < kBox; ++x) voxels.push_back({origin + x, origin + y, origin + z});
    return voxels;
}

// Random voxels inside a cube of 256 voxels per side in the middle of the grid.
std::vector<Voxel> random_voxels(uint32_t side) {
    std::mt19937 random(42);
    std::uniform_int_distribution<uint32_t> offset(0, 255);
    std::vector<Voxel> voxels(1 << 20);
    const uint32_t origin = side / 2 - 128;
    for (Voxel& v : voxels) v = {origin + offset(random), origin + offset(random), origin + offset(random)};
    return voxels;
}

// A solid ball of radius 60 in the middle of a clear grid.
void add_ball(VoxelGrid& grid) {
    const int c = static_cast<int>(grid.side() / 2), r = 60;
    for (int z = -r; z <= r; ++z)
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y + z * z <= r * r) grid.set_voxel(c + x, c + y, c + z);
}

// Sets the voxels in turn, then clears them in turn, and so on.
void run_edits(benchmark::State& state, const std::vector<Voxel>& voxels) {
    VoxelGrid grid(state.range(0), false);
    size_t i = 0;
    bool setting = true;
    for (auto _ : state) {
        const Voxel& v = voxels[i];
        benchmark::DoNotOptimize(setting ? grid.set_voxel(v.x, v.y, v.z) : grid.clear_voxel(v.x, v.y, v.z));
        if (++i == voxels.size()) {
            i = 0;
            setting = !setting;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void run_queries(benchmark::State& state, const std::vector<Voxel>& voxels) {
    VoxelGrid grid(state.range(0), false);
    add_ball(grid);
    size_t i = 0;
    for (auto _ : state) {
        const Voxel& v = voxels[i];
        benchmark::DoNotOptimize(grid.get_voxel(v.x, v.y, v.z));
        if (++i == voxels.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

uint32_t side_of(benchmark::State& state) { return 1u << (3 * state.range(0)); }

void BM_SetVoxelCoherent(benchmark::State& state) { run_edits(state, coherent_voxels(side_of(state))); }
void BM_SetVoxelRandom(benchmark::State& state) { run_edits(state, random_voxels(side_of(state))); }
void BM_GetVoxelCoherent(benchmark::State& state) { run_queries(state, coherent_voxels(side_of(state))); }
void BM_GetVoxelRandom(benchmark::State& state) { run_queries(state, random_voxels(side_of(state))); }

BENCHMARK(BM_SetVoxelCoherent)->Arg(3)->Arg(5);
BENCHMARK(BM_SetVoxelRandom)->Arg(3)->Arg(5);
BENCHMARK(BM_GetVoxelCoherent)->Arg(3)->Arg(5);
BENCHMARK(BM_GetVoxelRandom)->Arg(3)->Arg(5);

}  // namespace
