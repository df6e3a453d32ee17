// Brush strokes per second for each of the eight brushes: the shape added and
// then removed again at places on the surface of a sculpted ball, with the
// settling, the cascades and the surface upkeep that come with them.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "grid/GridAffector.h"
#include "grid/ShapeAffector.h"
#include "grid/SurfaceMaintenance.h"
#include "grid/World.h"
#include "SculptedBall.h"

namespace {

constexpr int kBallRadius = 60;

std::unique_ptr<World> sculpted_world() { return randomly_sculpted_ball(); }

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

// This thread's processor time for `edit`, in seconds.
double seconds_of(const std::function<void()>& edit) {
    timespec start{}, end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    edit();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) + 1e-9 * double(end.tv_nsec - start.tv_nsec);
}

// Removing a shape against adding it at the same places, in one run.
//
// The surface updates alone: the shape's clear voxels are set and the surface
// updated as an addition does; the same voxels are cleared again (no
// cascade) and the surface updated once as a shape removal does; then added
// again and cleared voxel by voxel with an update after each, as removals
// went before they were batched. Ratios of the summed update times to the
// additions' ("update_*").
//
// The whole edits: add_shape against remove_shape, which also settle and
// cascade, so the voxels they change differ ("edit_ratio").
void BM_RemovalVersusAddition(benchmark::State& state) {
    const size_t k = static_cast<size_t>(state.range(0));
    state.SetLabel(grid_affector_name(k));
    const std::unique_ptr<World> world = sculpted_world();
    const std::vector<VoxelPosition> places = surface_points(world->grid().side());
    const auto brushes = make_grid_affectors();
    const auto& brush = dynamic_cast<const ShapeAffector&>(*brushes[k]);
    double adding = 0.0, removing = 0.0, voxel_by_voxel = 0.0, add_edit = 0.0, remove_edit = 0.0;
    size_t i = 0;
    std::vector<VoxelPosition> voxels;
    for (auto _ : state) {
        const VoxelPosition& at = places[i++ % places.size()];
        voxels.clear();
        for (const ShapeOffset& offset : brush.voxels()) {
            const VoxelPosition v = ShapeAffector::voxel_at(at, offset);
            if (world->in_safe_range(v.x, v.y, v.z) && !world->grid().get_voxel(v.x, v.y, v.z)) voxels.push_back(v);
        }
        for (int pass = 0; pass < 2; ++pass) {
            for (const VoxelPosition& v : voxels) world->grid().set_voxel(v.x, v.y, v.z);
            adding += seconds_of([&] { update_after_additions(*world, voxels); });
            for (const VoxelPosition& v : voxels) world->grid().clear_voxel(v.x, v.y, v.z);
            if (pass == 0) {
                removing += seconds_of([&] {
                    update_neighbourhood(*world, voxels);
                    for (const VoxelPosition& v : voxels) update_point(*world, v.x, v.y, v.z, true);
                });
                continue;
            }
            voxel_by_voxel += seconds_of([&] {
                for (const VoxelPosition& v : voxels) {
                    update_neighbourhood(*world, {v});
                    update_point(*world, v.x, v.y, v.z, true);
                }
            });
        }
        add_edit += seconds_of([&] { brush.add_shape(*world, at); });
        remove_edit += seconds_of([&] { brush.remove_shape(*world, at); });
    }
    state.counters["update_removal_vs_addition"] = 2.0 * removing / adding;
    state.counters["update_per_voxel_vs_addition"] = 2.0 * voxel_by_voxel / adding;
    state.counters["edit_ratio"] = remove_edit / add_edit;
}
BENCHMARK(BM_RemovalVersusAddition)->DenseRange(0, kGridAffectorCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
