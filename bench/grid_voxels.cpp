// Voxel queries and edits against OpenVDB's MaskGrid through a value
// accessor, side by side: coherent access (x fastest), random access in a
// 256^3 region of a 3-level grid and in a 1024^3 region of a 4-level grid,
// and building balls voxel by voxel. Each benchmark prints its nanoseconds
// per voxel, the anchor's and their ratio, from the thread's processor time
// (wall_ratio: the same from elapsed time).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "SideBySide.h"
#include "grid/VoxelGrid.h"

#ifdef HOLLOFORM_HAVE_OPENVDB
#include <openvdb/openvdb.h>
#endif

namespace {

struct Voxel {
    uint32_t x, y, z;
};

struct OurGrid {
    explicit OurGrid(uint32_t levels) : grid(levels, false) {}
    bool get(uint32_t x, uint32_t y, uint32_t z) { return grid.get_voxel(x, y, z); }
    void set(uint32_t x, uint32_t y, uint32_t z) { grid.set_voxel(x, y, z); }
    size_t bytes_per_leaf() const {
        size_t bytes = grid.leaf_map().memory_bytes();
        for (uint32_t level = 1; level < grid.leaf_level(); ++level) bytes += grid.node_map(level).memory_bytes();
        return grid.leaf_map().size() ? bytes / grid.leaf_map().size() : 0;
    }
    VoxelGrid grid;
};

#ifdef HOLLOFORM_HAVE_OPENVDB
struct VdbGrid {
    explicit VdbGrid(uint32_t) : grid(openvdb::MaskGrid::create(false)), accessor(grid->getAccessor()) {}
    bool get(uint32_t x, uint32_t y, uint32_t z) { return accessor.isValueOn(openvdb::Coord(x, y, z)); }
    void set(uint32_t x, uint32_t y, uint32_t z) { accessor.setValueOn(openvdb::Coord(x, y, z)); }
    size_t bytes_per_leaf() const {
        const auto leaves = grid->tree().leafCount();
        return leaves ? size_t(grid->tree().memUsage() / leaves) : 0;
    }
    openvdb::MaskGrid::Ptr grid;
    openvdb::MaskGrid::Accessor accessor;
};
#endif

// Runs the same workload on our grid and, when OpenVDB is there, on a mask
// grid; `prepare` fills a fresh grid untimed, `work` is timed.
template <typename Prepare, typename Work>
void compare(benchmark::State& state, uint32_t levels, int rounds, double items, Prepare prepare, Work work) {
    std::unique_ptr<OurGrid> ours;
    auto run_ours = [&] { work(*ours); };
    auto fresh_ours = [&] {
        ours = std::make_unique<OurGrid>(levels);
        prepare(*ours);
    };
#ifdef HOLLOFORM_HAVE_OPENVDB
    std::unique_ptr<VdbGrid> vdb;
    auto run_vdb = [&] { work(*vdb); };
    std::vector<double> ours_s, vdb_s, ours_wall, vdb_wall;
    for (auto _ : state) {
        for (int r = 0; r < rounds; ++r) {
            fresh_ours();
            ours_wall.push_back(side_by_side::seconds_of([&] { ours_s.push_back(side_by_side::thread_seconds_of(run_ours)); }));
            vdb = std::make_unique<VdbGrid>(levels);
            prepare(*vdb);
            vdb_wall.push_back(side_by_side::seconds_of([&] { vdb_s.push_back(side_by_side::thread_seconds_of(run_vdb)); }));
        }
    }
    state.counters["anchor_ns"] = side_by_side::median(vdb_s) * 1e9 / items;
    state.counters["ratio"] = side_by_side::median(ours_s) / side_by_side::median(vdb_s);
    state.counters["wall_ratio"] = side_by_side::median(ours_wall) / side_by_side::median(vdb_wall);
    state.counters["anchor_B_per_leaf"] = double(vdb->bytes_per_leaf());
#else
    std::vector<double> ours_s;
    for (auto _ : state) {
        for (int r = 0; r < rounds; ++r) {
            fresh_ours();
            ours_s.push_back(side_by_side::thread_seconds_of(run_ours));
        }
    }
#endif
    state.counters["ns_per_voxel"] = side_by_side::median(ours_s) * 1e9 / items;
    state.counters["B_per_leaf"] = double(ours->bytes_per_leaf());
}

// x-fastest over a box of `size` voxels from `origin`, calling f(x, y, z).
template <typename F>
void scan_box(uint32_t origin, uint32_t size, F&& f) {
    for (uint32_t z = origin; z < origin + size; ++z)
        for (uint32_t y = origin; y < origin + size; ++y)
            for (uint32_t x = origin; x < origin + size; ++x) f(x, y, z);
}

// x-fastest over the voxels of a solid ball, row by row.
template <typename F>
uint64_t scan_ball(uint32_t centre, int radius, F&& f) {
    uint64_t count = 0;
    const double r2 = double(radius) * radius;
    for (int z = -radius; z <= radius; ++z)
        for (int y = -radius; y <= radius; ++y) {
            const double rest = r2 - double(y) * y - double(z) * z;
            if (rest < 0) continue;
            const int w = static_cast<int>(std::sqrt(rest));
            for (int x = -w; x <= w; ++x) f(centre + x, centre + y, centre + z);
            count += 2 * w + 1;
        }
    return count;
}

std::vector<Voxel> random_voxels(uint32_t origin, uint32_t size, size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<uint32_t> offset(0, size - 1);
    std::vector<Voxel> voxels(count);
    for (Voxel& v : voxels) v = {origin + offset(random), origin + offset(random), origin + offset(random)};
    return voxels;
}

constexpr uint32_t kBox3 = 256, kOrigin3 = 128;  // in a grid of 512
constexpr uint32_t kBox4 = 1024, kOrigin4 = 1536;  // in a grid of 4096

void BM_CoherentSet(benchmark::State& state) {
    compare(state, 3, 5, double(kBox3) * kBox3 * kBox3, [](auto&) {},
            [](auto& g) { scan_box(kOrigin3, kBox3, [&](uint32_t x, uint32_t y, uint32_t z) { g.set(x, y, z); }); });
}

// Reads the box around a ball of radius 120: solid and clear regions and
// the leaf blocks along the ball's surface.
void BM_CoherentGet(benchmark::State& state) {
    uint64_t solid = 0;
    compare(
        state, 3, 5, double(kBox3) * kBox3 * kBox3,
        [](auto& g) { scan_ball(kOrigin3 + kBox3 / 2, 120, [&](uint32_t x, uint32_t y, uint32_t z) { g.set(x, y, z); }); },
        [&](auto& g) {
            scan_box(kOrigin3, kBox3, [&](uint32_t x, uint32_t y, uint32_t z) { solid += g.get(x, y, z); });
        });
    benchmark::DoNotOptimize(solid);
}

// Random voxels set in a clear grid: 2^20 of them, in the 256^3 region of a
// 3-level grid or the 1024^3 region of a 4-level grid (where they make about
// 825,000 leaf blocks).
void BM_RandomSet(benchmark::State& state) {
    const bool four = state.range(0) == 4;
    const auto voxels = random_voxels(four ? kOrigin4 : kOrigin3, four ? kBox4 : kBox3, 1 << 20, 42);
    compare(state, four ? 4 : 3, 3, double(voxels.size()), [](auto&) {}, [&](auto& g) {
        for (const Voxel& v : voxels) g.set(v.x, v.y, v.z);
    });
}

// Random queries of a grid holding the voxels of BM_RandomSet.
void BM_RandomGet(benchmark::State& state) {
    const bool four = state.range(0) == 4;
    const uint32_t origin = four ? kOrigin4 : kOrigin3, size = four ? kBox4 : kBox3;
    const auto voxels = random_voxels(origin, size, 1 << 20, 42);
    const auto queries = random_voxels(origin, size, 1 << 20, 43);
    uint64_t solid = 0;
    compare(
        state, four ? 4 : 3, 3, double(queries.size()),
        [&](auto& g) {
            for (const Voxel& v : voxels) g.set(v.x, v.y, v.z);
        },
        [&](auto& g) {
            for (const Voxel& v : queries) solid += g.get(v.x, v.y, v.z);
        });
    benchmark::DoNotOptimize(solid);
}

// A ball built voxel by voxel in a 4-level grid; the cost per voxel should
// not grow with the radius.
void BM_BuildBall(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    const double voxels = double(scan_ball(2048, radius, [](uint32_t, uint32_t, uint32_t) {}));
    compare(state, 4, radius > 100 ? 1 : 15, voxels, [](auto&) {}, [&](auto& g) {
        scan_ball(2048, radius, [&](uint32_t x, uint32_t y, uint32_t z) { g.set(x, y, z); });
    });
}

BENCHMARK(BM_CoherentSet)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CoherentGet)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomSet)->Arg(3)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomGet)->Arg(3)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildBall)->Arg(32)->Arg(512)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
