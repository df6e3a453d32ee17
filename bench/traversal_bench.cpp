// visit_box_squares against the voxel-by-voxel walk of the test model, on a
// sculpted grid of 3 levels: a ball of radius 60 with random dents and bumps.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "../tests/grid/traversal_model.h"
#include "grid/BoxTraversal.h"

namespace {

constexpr uint32_t kCentre = 256;
constexpr int kRadius = 60;

// Reads every corner, as a painter would, so the work cannot be skipped.
class CountingVisitor final : public SquareVisitor {
public:
    uint64_t squares = 0;
    uint64_t checksum = 0;

    void begin_batch(const Square* square) override { square_ = square; }
    void set_normal(float, float, float) override {}
    void emit_square() override {
        ++squares;
        for (const auto& corner : square_->corners) checksum += corner[0] ^ corner[1] ^ corner[2];
    }
    void end_batch() override {}

private:
    const Square* square_ = nullptr;
};

const VoxelGrid& sculpted_ball() {
    static const std::unique_ptr<VoxelGrid> grid = [] {
        auto made = std::make_unique<VoxelGrid>(3, false);
        const int c = kCentre;
        for (int z = c - kRadius; z <= c + kRadius; ++z)
            for (int y = c - kRadius; y <= c + kRadius; ++y)
                for (int x = c - kRadius; x <= c + kRadius; ++x) {
                    const int dx = x - c, dy = y - c, dz = z - c;
                    if (dx * dx + dy * dy + dz * dz <= kRadius * kRadius) made->set_voxel(x, y, z);
                }
        std::mt19937 random(5);
        const uint32_t origin[3] = {kCentre - 64, kCentre - 64, kCentre - 64};
        for (int i = 0; i < 20; ++i) traversal_model::small_edit(*made, random, origin, 128);
        return made;
    }();
    return *grid;
}

// A box of 32 x 16 x 32 across the ball's upper surface, or one of 128 voxels
// a side around the whole ball.
IntBox box_of(int64_t which) {
    if (which == 0) return {kCentre - 16, kCentre + 50, kCentre - 16, kCentre + 15, kCentre + 65, kCentre + 15};
    return {kCentre - 64, kCentre - 64, kCentre - 64, kCentre + 63, kCentre + 63, kCentre + 63};
}

template <typename Walk>
void run(benchmark::State& state, Walk walk) {
    const VoxelGrid& grid = sculpted_ball();
    const IntBox box = box_of(state.range(0));
    uint64_t squares = 0;
    for (auto _ : state) {
        CountingVisitor visitor;
        walk(grid, box, visitor);
        benchmark::DoNotOptimize(visitor.checksum);
        squares += visitor.squares;
    }
    state.counters["squares_per_s"] = benchmark::Counter(double(squares), benchmark::Counter::kIsRate);
    state.SetLabel(state.range(0) == 0 ? "32x16x32" : "128^3");
}

void BM_VisitBoxSquares(benchmark::State& state) {
    run(state, [](const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor) {
        visit_box_squares(grid, box, visitor, false);
    });
}

void BM_VoxelByVoxelWalk(benchmark::State& state) {
    run(state, [](const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor) {
        traversal_model::BruteForceWalk(grid, box, visitor, false).run();
    });
}

BENCHMARK(BM_VisitBoxSquares)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VoxelByVoxelWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
