// Undo and redo of a large stroke against the stroke itself: the 3 x 3 x 3
// cube dragged voxel by voxel across the top of a sculpted ball, adding or
// removing, then undone and redone. Prints the ratios of the undo and redo
// times to the stroke's (both with their surface upkeep) and the bytes the
// history keeps per changed voxel.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "grid/GridAffector.h"
#include "grid/SolidVoxelCount.h"
#include "grid/World.h"
#include "SculptedBall.h"

namespace {

constexpr int kRadius = 60;

std::unique_ptr<World> sculpted_ball() {
    std::unique_ptr<World> world = randomly_sculpted_ball();
    world->end_step();
    return world;
}

// The path of the drag: over the top of the ball along x, one voxel a frame,
// in three parallel lanes.
std::vector<VoxelPosition> drag_path(uint32_t side) {
    std::vector<VoxelPosition> path;
    const int c = static_cast<int>(side / 2);
    for (int lane = -2; lane <= 2; lane += 2) {
        for (int x = -kRadius + 4; x <= kRadius - 4; ++x) {
            const double top = std::sqrt(double(kRadius * kRadius - x * x - lane * lane));
            path.push_back(VoxelPosition{uint32_t(c + x), uint32_t(c + lane), uint32_t(c + int(top))});
        }
    }
    return path;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_UndoRedoVersusStroke(benchmark::State& state) {
    const bool adding = state.range(0) == 0;
    state.SetLabel(adding ? "adding" : "removing");
    const std::unique_ptr<World> world = sculpted_ball();
    const std::vector<VoxelPosition> path = drag_path(world->grid().side());
    const auto brushes = make_grid_affectors();
    const GridAffector& cube = *brushes[2];
    const int64_t solid_before = int64_t(count_solid_voxels(world->grid()));
    const size_t history_before = world->history().bytes();
    double stroke = 0.0, undo = 0.0, redo = 0.0;
    double bytes_per_voxel = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (const VoxelPosition& at : path) adding ? cube.add_shape(*world, at) : cube.remove_shape(*world, at);
        world->end_step();
        stroke += seconds_since(start);
        // Additions alone or removals alone: the count's change is the
        // number of voxels changed.
        const int64_t changed = std::abs(int64_t(count_solid_voxels(world->grid())) - solid_before);
        bytes_per_voxel = double(world->history().bytes() - history_before) / double(changed);
        start = std::chrono::steady_clock::now();
        world->undo();
        undo += seconds_since(start);
        start = std::chrono::steady_clock::now();
        world->redo();
        redo += seconds_since(start);
        world->undo();  // the next stroke drops the redo step: each round starts alike
        state.counters["changed_voxels"] = double(changed);
    }
    state.counters["undo_vs_stroke"] = undo / stroke;
    state.counters["redo_vs_stroke"] = redo / stroke;
    state.counters["stroke_ms"] = 1e3 * stroke / double(state.iterations());
    state.counters["history_bytes_per_changed_voxel"] = bytes_per_voxel;
}
BENCHMARK(BM_UndoRedoVersusStroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
