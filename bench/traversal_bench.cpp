// visit_box_squares against the voxel-by-voxel walk of the test model, and
// against a per-leaf-block bitmask pass that finds the same squares (in
// another order), on a sculpted grid of 3 levels: a ball of radius 60 with
// random dents and bumps.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <vector>

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

// The anchor for the walk: copies the 8 x 8 x 8 blocks of a box whose
// bounds are multiples of 8 into a dense array (uniform cells filled in),
// then finds every face block by block with word operations on 64-bit
// z layers, outside clear, and hands each to the visitor: the same squares
// as visit_box_squares(..., false), grouped by block instead of by row.
class BlockBitmaskPass {
public:
    explicit BlockBitmaskPass(const IntBox& box)
        : box_(box), blocks_{(box.x1 + 1 - box.x0) / 8, (box.y1 + 1 - box.y0) / 8, (box.z1 + 1 - box.z0) / 8} {}

    void run(const VoxelGrid& grid, SquareVisitor& visitor) {
        extract(grid);
        for (uint32_t bz = 0; bz < blocks_[2]; ++bz)
            for (uint32_t by = 0; by < blocks_[1]; ++by)
                for (uint32_t bx = 0; bx < blocks_[0]; ++bx) faces_of_block(bx, by, bz, visitor);
    }

private:
    using Layers = std::array<uint64_t, 8>;  // bit x + 8 y of layer z

    void extract(const VoxelGrid& grid) {
        layers_.resize(size_t(blocks_[0]) * blocks_[1] * blocks_[2]);
        const uint32_t depth = grid.levels() - 1;  // a cell of leaf-block size
        for (uint32_t bz = 0; bz < blocks_[2]; ++bz)
            for (uint32_t by = 0; by < blocks_[1]; ++by)
                for (uint32_t bx = 0; bx < blocks_[0]; ++bx) {
                    const uint32_t x = box_.x0 + 8 * bx, y = box_.y0 + 8 * by, z = box_.z0 + 8 * bz;
                    Layers& layers = layers_[index(bx, by, bz)];
                    if (const LeafBlock* leaf = grid.find_leaf(x, y, z)) {
                        std::memcpy(layers.data(), leaf->bits.words, sizeof layers);
                    } else {
                        layers.fill(grid.cell_state(x, y, z, depth) == CellState::Solid ? ~0ull : 0ull);
                    }
                }
    }

    size_t index(uint32_t bx, uint32_t by, uint32_t bz) const {
        return (size_t(bz) * blocks_[1] + by) * blocks_[0] + bx;
    }

    void faces_of_block(uint32_t bx, uint32_t by, uint32_t bz, SquareVisitor& visitor) {
        static const Layers kClear{};
        const Layers& here = layers_[index(bx, by, bz)];
        const Layers& below_x = bx > 0 ? layers_[index(bx - 1, by, bz)] : kClear;
        const Layers& below_y = by > 0 ? layers_[index(bx, by - 1, bz)] : kClear;
        const Layers& below_z = bz > 0 ? layers_[index(bx, by, bz - 1)] : kClear;
        const uint64_t column0 = 0x0101010101010101ull;
        const uint32_t origin[3] = {box_.x0 + 8 * bx, box_.y0 + 8 * by, box_.z0 + 8 * bz};
        Layers before[3], entering[3], leaving[3];
        for (int z = 0; z < 8; ++z) {
            before[0][z] = ((here[z] << 1) & ~column0) | ((below_x[z] >> 7) & column0);
            before[1][z] = (here[z] << 8) | (below_y[z] >> 56);
            before[2][z] = z > 0 ? here[z - 1] : below_z[7];
        }
        for (int a = 0; a < 3; ++a)
            for (int z = 0; z < 8; ++z) {
                entering[a][z] = here[z] & ~before[a][z];
                leaving[a][z] = ~here[z] & before[a][z];
            }
        for (uint32_t a = 0; a < 3; ++a) {
            emit(visitor, a, origin, entering[a], false, 0);
            emit(visitor, a, origin, leaving[a], true, 0);
        }
        // The box's upper walls: solid voxels of the last layer.
        const bool last[3] = {bx + 1 == blocks_[0], by + 1 == blocks_[1], bz + 1 == blocks_[2]};
        Layers walls[3] = {};
        for (int z = 0; z < 8; ++z) {
            if (last[0]) walls[0][z] = here[z] & (column0 << 7);
            if (last[1]) walls[1][z] = here[z] & (0xFFull << 56);
        }
        if (last[2]) walls[2][7] = here[7];
        for (uint32_t a = 0; a < 3; ++a) emit(visitor, a, origin, walls[a], true, 1);
    }

    // Every set bit as a face on the voxel's low side along the axis (its
    // high side when `beyond` is 1), looking to +axis when `leaving`.
    void emit(SquareVisitor& visitor, uint32_t axis, const uint32_t origin[3], const Layers& faces, bool leaving,
              uint32_t beyond) {
        bool any = false;
        for (uint32_t z = 0; z < 8; ++z) any |= faces[z] != 0;
        if (!any) return;
        float normal[3] = {0, 0, 0};
        normal[axis] = leaving ? 1.0f : -1.0f;
        visitor.begin_batch(&square_);
        visitor.set_normal(normal[0], normal[1], normal[2]);
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        static constexpr uint32_t kOffsets[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        for (uint32_t z = 0; z < 8; ++z)
            for (uint64_t bits = faces[z]; bits != 0; bits &= bits - 1) {
                const uint32_t i = static_cast<uint32_t>(__builtin_ctzll(bits));
                const uint32_t voxel[3] = {origin[0] + (i & 7), origin[1] + (i >> 3), origin[2] + z};
                for (uint32_t c = 0; c < 4; ++c) {
                    const uint32_t k = leaving && c % 2 == 1 ? 4 - c : c;
                    square_.corners[c][axis] = voxel[axis] + beyond;
                    square_.corners[c][u_axis] = voxel[u_axis] + kOffsets[k][0];
                    square_.corners[c][v_axis] = voxel[v_axis] + kOffsets[k][1];
                }
                visitor.emit_square();
            }
        visitor.end_batch();
    }

    IntBox box_;
    uint32_t blocks_[3];
    std::vector<Layers> layers_;
    Square square_;
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

// The thread's processor time, which other processes on a busy machine do
// not inflate.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    static duration now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
    }
};

// The walk and its anchor in turn on the 128^3 box; `ratio` is the walk's
// processor time over the anchor's.
void BM_WalkOverBlockPass(benchmark::State& state) {
    const VoxelGrid& grid = sculpted_ball();
    const IntBox box = box_of(1);
    using Clock = ThreadClock;
    Clock::duration walk_time{}, anchor_time{};
    CountingVisitor walked, anchored;
    for (auto _ : state) {
        walked = CountingVisitor();
        anchored = CountingVisitor();
        const auto start = Clock::now();
        visit_box_squares(grid, box, walked, false);
        const auto middle = Clock::now();
        BlockBitmaskPass(box).run(grid, anchored);
        anchor_time += Clock::now() - middle;
        walk_time += middle - start;
        benchmark::DoNotOptimize(walked.checksum + anchored.checksum);
    }
    if (walked.squares != anchored.squares || walked.checksum != anchored.checksum) {
        state.SkipWithError("the anchor finds other squares than the walk");
        return;
    }
    const double iterations = double(state.iterations());
    state.counters["walk_ms"] = std::chrono::duration<double, std::milli>(walk_time).count() / iterations;
    state.counters["anchor_ms"] = std::chrono::duration<double, std::milli>(anchor_time).count() / iterations;
    state.counters["ratio"] = double(walk_time.count()) / double(anchor_time.count());
    state.counters["squares"] = double(walked.squares);
}

BENCHMARK(BM_VisitBoxSquares)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VoxelByVoxelWalk)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WalkOverBlockPass)->Unit(benchmark::kMillisecond);

}  // namespace
