// The full build of a surface vertex set for solid spheres, and one step of
// every vertex through advance_and_emit.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/GridInvariants.h"
#include "grid/VertexSetBuilder.h"
#include "grid/VoxelGrid.h"

namespace {

// A ball of voxels: voxel (i, j, k) is solid when its centre lies within
// `radius` of the grid's middle point.
class Ball {
public:
    Ball(uint32_t side, double radius) : centre_(side / 2.0), radius_squared_(radius * radius) {}

    bool contains(uint32_t x, uint32_t y, uint32_t z) const {
        return squared(x + 0.5 - centre_) + squared(y + 0.5 - centre_) + squared(z + 0.5 - centre_) <= radius_squared_;
    }
    // Every voxel centre of the cube of side w at o inside the ball.
    bool holds_cube(uint32_t x, uint32_t y, uint32_t z, uint32_t w) const {
        return far(x, w) + far(y, w) + far(z, w) <= radius_squared_;
    }
    // No voxel centre of the cube inside the ball.
    bool misses_cube(uint32_t x, uint32_t y, uint32_t z, uint32_t w) const {
        return near(x, w) + near(y, w) + near(z, w) > radius_squared_;
    }

private:
    static double squared(double d) { return d * d; }
    double far(uint32_t o, uint32_t w) const {
        return std::max(squared(o + 0.5 - centre_), squared(o + w - 0.5 - centre_));
    }
    double near(uint32_t o, uint32_t w) const {
        return squared(std::clamp(centre_, o + 0.5, o + w - 0.5) - centre_);
    }

    double centre_;
    double radius_squared_;
};

// Builds the cells of a ball directly: a cell wholly inside or outside is
// one state in its parent, a mixed one gets its node or leaf block.
class BallBuilder {
public:
    BallBuilder(VoxelGrid& grid, const Ball& ball) : grid_(grid), ball_(ball) {}

    void build() {
        grid_.root() = node_of(0, 0, 0, 0);
    }

private:
    // The children of the level `level` cell at (x, y, z), with their nodes.
    GridNode node_of(uint32_t level, uint32_t x, uint32_t y, uint32_t z) {
        GridNode node;
        const uint32_t w = grid_.side() >> (3 * (level + 1));
        for (uint32_t k = 0; k < 8; ++k)
            for (uint32_t j = 0; j < 8; ++j)
                for (uint32_t i = 0; i < 8; ++i) {
                    const ChildIndex c{i, j, k};
                    const CellState state = build_cell(level + 1, x + i * w, y + j * w, z + k * w, w);
                    if (state == CellState::Subdivided) {
                        node.subdivided.set(c);
                    } else {
                        node.solid.assign(c, state == CellState::Solid);
                    }
                }
        return node;
    }

    CellState build_cell(uint32_t depth, uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
        if (ball_.holds_cube(x, y, z, w)) return CellState::Solid;
        if (ball_.misses_cube(x, y, z, w)) return CellState::Clear;
        if (depth == grid_.leaf_level()) {
            LeafBlock leaf;
            for (uint32_t n = 0; n < 512; ++n) {
                leaf.bits.assign(ChildIndex{n & 7, n >> 3 & 7, n >> 6}, ball_.contains(x + (n & 7), y + (n >> 3 & 7), z + (n >> 6)));
            }
            if (leaf.bits.is_uniform(true)) return CellState::Solid;
            if (leaf.bits.is_uniform(false)) return CellState::Clear;
            VoxelGrid::insert_leaf(grid_.leaf_map(), grid_.key_of(x, y, z, depth), leaf);
            return CellState::Subdivided;
        }
        const GridNode node = node_of(depth, x, y, z);
        if (node.is_uniform(true)) return CellState::Solid;
        if (node.is_uniform(false)) return CellState::Clear;
        VoxelGrid::insert_node(grid_.node_map(depth), grid_.key_of(x, y, z, depth), node);
        return CellState::Subdivided;
    }

    VoxelGrid& grid_;
    const Ball& ball_;
};

std::unique_ptr<VoxelGrid> make_ball_grid(long levels, double radius) {
    auto grid = std::make_unique<VoxelGrid>(levels, false);
    const Ball ball(grid->side(), radius);
    BallBuilder(*grid, ball).build();
    const char* fault = find_grid_fault(*grid);
    if (fault == nullptr) fault = find_uniform_cell(*grid);
    const uint32_t c = grid->side() / 2, r = static_cast<uint32_t>(radius);
    if (fault == nullptr && (grid->get_voxel(c + r + 1, c, c) || !grid->get_voxel(c + r - 1, c, c))) {
        fault = "the ball's voxels are wrong";
    }
    if (fault != nullptr) {
        std::fprintf(stderr, "ball grid: %s\n", fault);
        std::abort();
    }
    return grid;
}

// The grids live for the whole run: a radius of 1000 takes a while to make.
const VoxelGrid& ball_grid(long levels, double radius) {
    static std::unique_ptr<VoxelGrid> grids[2];
    std::unique_ptr<VoxelGrid>& grid = grids[radius > 500 ? 1 : 0];
    if (!grid) grid = make_ball_grid(levels, radius);
    return *grid;
}

size_t heap_in_use() { return mallinfo2().uordblks; }

uint64_t link_count(const SurfaceVertexSet& vertices) {
    uint64_t links = 0;
    for (const SurfaceVertex& v : vertices) links += v.neighbour_count();
    return links;
}

void BM_BuildVertexSet(benchmark::State& state) {
    const long levels = state.range(0);
    const VoxelGrid& grid = ball_grid(levels, static_cast<double>(state.range(1)));
    size_t vertices = 0, bytes = 0;
    uint64_t links = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const size_t before = heap_in_use();  // mallinfo2 walks the heap: not timed
        state.ResumeTiming();
        auto set = std::make_unique<SurfaceVertexSet>(grid.levels());
        build_vertex_set(*set, grid, 0);
        state.PauseTiming();
        vertices = set->size();
        bytes = heap_in_use() - before;
        links = link_count(*set);
        set.reset();
        state.ResumeTiming();
    }
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["links_per_vertex"] = static_cast<double>(links) / static_cast<double>(vertices);
    state.counters["bytes_per_vertex"] = static_cast<double>(bytes) / static_cast<double>(vertices);
    state.counters["ns_per_vertex"] = benchmark::Counter(static_cast<double>(vertices),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildVertexSet)->Args({3, 100})->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BuildVertexSet)->Args({5, 1000})->Unit(benchmark::kSecond)->Iterations(1);

class CountingSink : public MeshVertexSink {
public:
    uint32_t add_vertex(const Vector3&) override { return count_++; }

private:
    uint32_t count_ = 0;
};

// Every vertex once per frame, in key order, with the editor's default physics.
void BM_AdvanceAndEmitSweep(benchmark::State& state) {
    const VoxelGrid& grid = ball_grid(state.range(0), static_cast<double>(state.range(1)));
    SurfaceVertexSet vertices(grid.levels());
    build_vertex_set(vertices, grid, 0);
    const PhysicsParameters physics;
    uint32_t frame = 1;
    for (auto _ : state) {
        CountingSink sink;
        for (const SurfaceVertex& v : vertices) {
            const VertexCoordinates c = v.voxel();
            benchmark::DoNotOptimize(vertices.advance_and_emit(c.x, c.y, c.z, frame, sink, physics));
        }
        ++frame;
    }
    state.counters["vertices"] = static_cast<double>(vertices.size());
    state.counters["ns_per_vertex"] = benchmark::Counter(static_cast<double>(vertices.size()),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}
BENCHMARK(BM_AdvanceAndEmitSweep)->Args({3, 100})->Unit(benchmark::kMillisecond);

}  // namespace
