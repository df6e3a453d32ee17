// The surface vertex store: the full build for solid balls (time, bytes per
// vertex, resident memory), and the limit-surface sweep with physics against
// a flat-array spring loop over the same vertices and links.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "dynamics/Spring.h"
#include "dynamics/SurfaceVertexSet.h"
#include "grid/GridAffector.h"
#include "grid/GridInvariants.h"
#include "grid/VertexSetBuilder.h"
#include "grid/VoxelGrid.h"
#include "grid/World.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"
#include "SculptedBall.h"

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

// A figure of this process from /proc/self/status, in bytes (VmHWM: the peak
// resident memory, VmRSS: the resident memory now).
double process_memory(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0.0;
    char line[256];
    double kilobytes = 0.0;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') kilobytes = std::atof(line + length + 1);
    }
    std::fclose(status);
    return kilobytes * 1024.0;
}

uint64_t link_count(const SurfaceVertexSet& vertices) {
    uint64_t links = 0;
    for (const SurfaceVertex& v : vertices) links += v.neighbour_count();
    return links;
}

// The whole build for a ball: its time, the store's bytes per vertex (records,
// neighbour runs and index table, as held), and the process's resident memory.
void BM_BuildVertexSet(benchmark::State& state) {
    const long levels = state.range(0);
    const VoxelGrid& grid = ball_grid(levels, static_cast<double>(state.range(1)));
    size_t vertices = 0, bytes = 0;
    uint64_t links = 0;
    double peak = 0.0, resident = 0.0;
    for (auto _ : state) {
        auto set = std::make_unique<SurfaceVertexSet>(grid.levels());
        build_vertex_set(*set, grid, 0);
        state.PauseTiming();
        vertices = set->size();
        bytes = set->memory_bytes();
        links = link_count(*set);
        peak = process_memory("VmHWM");
        resident = process_memory("VmRSS");
        set.reset();
        state.ResumeTiming();
    }
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["links_per_vertex"] = static_cast<double>(links) / static_cast<double>(vertices);
    state.counters["bytes_per_vertex"] = static_cast<double>(bytes) / static_cast<double>(vertices);
    state.counters["VmHWM_MB"] = peak / 1e6;
    state.counters["VmRSS_MB"] = resident / 1e6;
    state.counters["ns_per_vertex"] = benchmark::Counter(static_cast<double>(vertices),
                                                         benchmark::Counter::kIsIterationInvariantRate |
                                                             benchmark::Counter::kInvert);
}
BENCHMARK(BM_BuildVertexSet)->Args({3, 100})->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BuildVertexSet)->Args({4, 1000})->Unit(benchmark::kSecond)->Iterations(1);

// The anchor of the sweep: the same vertices and links copied into flat
// arrays, stepped in storage order with the same forces and the same
// arithmetic, without any lookup, grid walk or mesh.
class FlatSpringLoop {
public:
    explicit FlatSpringLoop(const SurfaceVertexSet& set) {
        std::vector<VertexIndex> flat_of(set.index_limit(), kNoVertexIndex);
        for (auto it = set.begin(); it != set.end(); ++it) {
            flat_of[it.index()] = static_cast<VertexIndex>(anchor_.size());
            anchor_.push_back(it->anchor());
            for (int b = 0; b < 2; ++b) {
                position_[b].push_back(it->position[b]);
                velocity_[b].push_back(it->velocity[b]);
            }
        }
        first_link_.push_back(0);
        for (const SurfaceVertex& v : set) {
            for (uint32_t i = 0; i < v.neighbour_count(); ++i) links_.push_back(flat_of[set.neighbours(v)[i]]);
            first_link_.push_back(static_cast<uint32_t>(links_.size()));
        }
    }

    size_t size() const { return anchor_.size(); }

    void step(uint32_t frame, const PhysicsParameters& k) {
        const unsigned r = read_buffer(frame), w = write_buffer(frame);
        for (size_t i = 0; i < anchor_.size(); ++i) {
            const Vector3 p = position_[r][i], u = velocity_[r][i];
            Vector3 force = spring(p, u, anchor_[i], k.grid_stiffness, k.grid_damping);
            const uint32_t first = first_link_[i], last = first_link_[i + 1];
            if (first != last) {
                double x = 0.0, y = 0.0, z = 0.0;
                for (uint32_t l = first; l < last; ++l) {
                    const Vector3& n = position_[r][links_[l]];
                    x += n.x, y += n.y, z += n.z;
                }
                const double count = last - first;
                const Vector3 mean(float(x / count), float(y / count), float(z / count));
                force = add_scaled(force, spring(p, u, mean, k.neighbour_stiffness, k.neighbour_damping), 1.0);
            }
            velocity_[w][i] = add_scaled(u, force, k.time_step);
            position_[w][i] = add_scaled(p, u, k.time_step);
        }
    }

private:
    static Vector3 add_scaled(const Vector3& a, const Vector3& b, double s) {
        return Vector3(float(a.x + b.x * s), float(a.y + b.y * s), float(a.z + b.z * s));
    }

    std::vector<Vector3> anchor_;
    std::vector<Vector3> position_[2];
    std::vector<Vector3> velocity_[2];
    std::vector<uint32_t> first_link_;
    std::vector<VertexIndex> links_;
};

// A ball of radius 60 in a clear grid of 3 levels, roughened by random brush
// strokes on its surface.
std::unique_ptr<World> sculpted_ball() {
    auto world = std::make_unique<World>();
    sculpt_ball(*world);
    return world;
}

// This thread's processor time in seconds: on a loaded machine, wall time
// would charge the longer of two measured spans with more of the waits.
double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// The limit-surface sweep with the editor's default physics over the 128^3
// box around the sculpted ball, per mesh vertex, against the flat loop over
// the same vertices in the same run; frames alternate between the two.
// Medians of processor time. `edit_between_frames` runs untimed before each
// frame: a frame right after an edit plans the surface afresh, one without
// edits uses the plan of the frame before.
template <typename Edit>
void sweep_versus_flat_loop(benchmark::State& state, Edit edit_between_frames) {
    const std::unique_ptr<World> world = sculpted_ball();
    const IntBox box{192, 192, 192, 319, 319, 319};
    const PhysicsParameters physics;
    FlatSpringLoop flat(world->vertices());
    SurfaceMesh mesh;
    std::vector<double> sweep_ns, flat_ns;
    uint32_t frame = 1;
    for (auto _ : state) {
        edit_between_frames(*world, frame);
        const double t0 = thread_seconds();
        mesh.reset();
        sweep_limit_surface(*world, box, mesh, frame, physics);
        const double t1 = thread_seconds();
        flat.step(frame, physics);
        const double t2 = thread_seconds();
        ++frame;
        sweep_ns.push_back(1e9 * (t1 - t0) / mesh.vertex_count());
        flat_ns.push_back(1e9 * (t2 - t1) / double(flat.size()));
    }
    auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    const double sweep = median(sweep_ns), loop = median(flat_ns);
    state.counters["vertices"] = static_cast<double>(mesh.vertex_count());
    state.counters["sweep_ns_per_vertex"] = sweep;
    state.counters["flat_ns_per_vertex"] = loop;
    state.counters["ratio"] = sweep / loop;
}

// Frames without edits, the common case while the user looks around.
void BM_SweepVersusFlatLoop(benchmark::State& state) {
    sweep_versus_flat_loop(state, [](World&, uint32_t) {});
}
BENCHMARK(BM_SweepVersusFlatLoop)->Unit(benchmark::kMillisecond)->Iterations(60);

// Each frame right after a brush stroke on the ball's surface inside the box:
// one added, the next removed again.
void BM_SweepAfterEditVersusFlatLoop(benchmark::State& state) {
    const auto brushes = make_grid_affectors();
    const GridAffector& brush = *brushes[0];
    const VoxelPosition at{256, 256, 256 + 60};
    sweep_versus_flat_loop(state, [&](World& world, uint32_t frame) {
        if (frame % 2 == 1) {
            brush.add_shape(world, at);
        } else {
            brush.remove_shape(world, at);
        }
    });
}
BENCHMARK(BM_SweepAfterEditVersusFlatLoop)->Unit(benchmark::kMillisecond)->Iterations(60);

}  // namespace
