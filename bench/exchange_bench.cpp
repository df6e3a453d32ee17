// Models in and out, in voxels per second, each beside its anchor in the
// same run: voxelizing a sphere mesh of about 1 M triangles into 512^3
// (anchor: setting the same voxels run by run into a grid), and .vox export
// and import of a ball of about 10 M solid voxels (anchor: saving and
// loading the same grid as a grid file in memory).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <sstream>

#include "exchange/GridImport.h"
#include "exchange/MeshVoxelizer.h"
#include "exchange/SolidCells.h"
#include "exchange/VoxExchange.h"
#include "exchange/VoxFile.h"
#include "grid/SolidBounds.h"
#include "grid/VoxelGrid.h"
#include "persistence/GridFile.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double seconds_of(F&& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// 1000 x 500 quads of a sphere of radius 250 voxels, centred in the 508^3
// voxels a grid of 512^3 can take.
TriangleSoup sphere_mesh() {
    constexpr int columns = 1000, rows = 500;
    constexpr double pi = 3.14159265358979323846, radius = 250, centre = 254;
    TriangleSoup soup;
    for (int r = 0; r <= rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const double u = 2 * pi * c / columns, v = pi * r / rows;
            soup.positions.insert(soup.positions.end(), {centre + radius * std::sin(v) * std::cos(u),
                                                         centre + radius * std::sin(v) * std::sin(u),
                                                         centre + radius * std::cos(v)});
        }
    }
    auto at = [&](int r, int c) { return uint32_t(r * columns + c % columns); };
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            soup.indices.insert(soup.indices.end(), {at(r, c), at(r, c + 1), at(r + 1, c + 1)});
            soup.indices.insert(soup.indices.end(), {at(r, c), at(r + 1, c + 1), at(r + 1, c)});
        }
    }
    return soup;
}

void BM_VoxelizeMillionTriangles(benchmark::State& state) {
    const TriangleSoup soup = sphere_mesh();
    double main_seconds = 0, anchor_seconds = 0;
    uint64_t voxels = 0;
    for (auto _ : state) {
        std::unique_ptr<VoxelGrid> grid;
        const double seconds = seconds_of([&] {
            const VoxelizedMesh solid = voxelize(soup, {508, 508, 508});
            grid = import_into_new_grid(solid, 3, "sphere");
            voxels = solid.voxel_count();
        });
        main_seconds += seconds;
        state.SetIterationTime(seconds);
        const VoxelizedMesh solid = voxelize(soup, {508, 508, 508});
        anchor_seconds += seconds_of([&] { grid = import_into_new_grid(solid, 3, "sphere"); });
    }
    state.counters["triangles"] = double(soup.triangle_count());
    state.counters["voxels"] = double(voxels);
    state.counters["voxels_per_second"] = double(voxels) * state.iterations() / main_seconds;
    state.counters["anchor_set_voxels_per_second"] = double(voxels) * state.iterations() / anchor_seconds;
    state.counters["ratio_to_anchor"] = main_seconds / anchor_seconds;
}

// A solid ball of radius 134 voxels: about 10 M voxels.
const VoxelGrid& ball_grid() {
    static const std::unique_ptr<VoxelGrid> grid = [] {
        auto made = std::make_unique<VoxelGrid>(3, false);
        constexpr int radius = 134, centre = 256;
        for (int z = -radius; z <= radius; ++z)
            for (int y = -radius; y <= radius; ++y)
                for (int x = -radius; x <= radius; ++x)
                    if (x * x + y * y + z * z <= radius * radius) made->set_voxel(centre + x, centre + y, centre + z);
        return made;
    }();
    return *grid;
}

void BM_VoxExportAndImportTenMillion(benchmark::State& state) {
    const VoxelGrid& grid = ball_grid();
    const IntBox box = *solid_voxel_bounds(grid);
    const uint64_t voxels = count_solid_in_box(grid, box);
    double export_seconds = 0, import_seconds = 0, save_seconds = 0, load_seconds = 0;
    for (auto _ : state) {
        std::string bytes;
        const double exporting = seconds_of([&] { bytes = vox_bytes(scene_of_box(grid, box, "ball.vox")); });
        const double importing = seconds_of([&] {
            const auto model =
                model_of_scene(parse_vox(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "ball.vox"));
            benchmark::DoNotOptimize(import_into_new_grid(*model, 3, "ball.vox"));
        });
        export_seconds += exporting;
        import_seconds += importing;
        std::stringstream grid_file;
        save_seconds += seconds_of([&] { save_grid(grid, 0, grid_file); });
        load_seconds += seconds_of([&] { benchmark::DoNotOptimize(load_grid(grid_file)); });
        state.SetIterationTime(exporting + importing);
    }
    const double n = double(voxels) * state.iterations();
    state.counters["voxels"] = double(voxels);
    state.counters["export_voxels_per_second"] = n / export_seconds;
    state.counters["import_voxels_per_second"] = n / import_seconds;
    state.counters["export_ratio_to_grid_save"] = export_seconds / save_seconds;
    state.counters["import_ratio_to_grid_load"] = import_seconds / load_seconds;
}

BENCHMARK(BM_VoxelizeMillionTriangles)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VoxExportAndImportTenMillion)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
