#include "render/LimitSurfaceSweep.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "grid/CubeTables.h"
#include "grid/World.h"
#include "render/BoxContents.h"
#include "render/BoxLayerRows.h"

namespace {

constexpr uint32_t kRows = 4;
constexpr uint32_t kNoVertex = 0xFFFFFFFFu;

// The triangles of every case, read from the table once.
const std::array<CubeTriangles, kCubeCases>& case_triangles() {
    static const std::array<CubeTriangles, kCubeCases> table = [] {
        std::array<CubeTriangles, kCubeCases> rows;
        for (unsigned c = 0; c < kCubeCases; ++c) rows[c] = triangles_of(c);
        return rows;
    }();
    return table;
}

// The corner meetings of a sweep, gathered before any vertex is looked up.
// Each meeting that the column's corner cache does not answer is an event;
// events name voxels, numbered in the order they were first seen, and the
// triangles name events. A voxel met again soon is found among the recent
// ones (the rows of the two layers in use, 128 voxels wide, never share a
// line); one seen long ago may get a second number, which the vertex lookup
// makes good.
class CornerEvents {
public:
    CornerEvents() : recent_(kRecentSize, Recent{0, 0, 0, kNoVertex}) {}

    // Gives the working storage back when a plan made it large: a big box
    // swept once should not hold on to it.
    void release_if_large() {
        constexpr size_t kKeptBytes = size_t(64) << 20;
        const size_t bytes = voxels_.capacity() * sizeof(VertexCoordinates) +
                             (events_.capacity() + corner_events_.capacity() + index_of_voxel_.capacity() +
                              number_of_index_.capacity() + number_of_event_.capacity()) * sizeof(uint32_t);
        if (bytes > kKeptBytes) *this = CornerEvents();
    }

    // Forgets every meeting, keeping the storage.
    void clear() {
        std::fill(recent_.begin(), recent_.end(), Recent{0, 0, 0, kNoVertex});
        voxels_.clear();
        events_.clear();
        corner_events_.clear();
    }

    uint32_t meet(uint32_t x, uint32_t y, uint32_t z) {
        Recent& r = recent_[(x & 127u) | (y & 1u) << 7 | (z & 63u) << 8];
        if (r.voxel == kNoVertex || r.x != x || r.y != y || r.z != z) {
            r = Recent{x, y, z, static_cast<uint32_t>(voxels_.size())};
            voxels_.push_back(VertexCoordinates{x, y, z});
        }
        events_.push_back(r.voxel);
        return static_cast<uint32_t>(events_.size() - 1);
    }

    std::vector<uint32_t>& corner_events() { return corner_events_; }

    // Numbers the plan's mesh vertices in the order of the events: a vertex
    // of the set at its first event, a voxel without one at every event.
    void number(const SurfaceVertexSet& vertices, LimitSurfacePlan& plan) {
        std::vector<VertexIndex>& index_of_voxel = index_of_voxel_;
        std::vector<uint32_t>& number_of_index = number_of_index_;
        std::vector<uint32_t>& number_of_event = number_of_event_;
        index_of_voxel.resize(voxels_.size());
        vertices.indices_at(voxels_.data(), voxels_.size(), index_of_voxel.data());
        number_of_index.assign(vertices.index_limit(), kNoVertex);
        number_of_event.resize(events_.size());
        for (size_t e = 0; e < events_.size(); ++e) {
            const uint32_t next = static_cast<uint32_t>(plan.vertices.size());
            const VertexIndex index = index_of_voxel[events_[e]];
            if (index == kNoVertexIndex) {
                plan.bare_voxels.push_back(voxels_[events_[e]]);
            } else if (number_of_index[index] != kNoVertex) {
                number_of_event[e] = number_of_index[index];
                continue;
            } else {
                number_of_index[index] = next;
            }
            plan.vertices.push_back(index);
            number_of_event[e] = next;
        }
        plan.corners.resize(corner_events_.size());
        for (size_t c = 0; c < corner_events_.size(); ++c) plan.corners[c] = number_of_event[corner_events_[c]];
    }

private:
    struct Recent {
        uint32_t x, y, z;
        uint32_t voxel;  // kNoVertex: unused
    };
    static constexpr uint32_t kRecentSize = 1u << 14;
    std::vector<Recent> recent_;
    std::vector<VertexCoordinates> voxels_;
    std::vector<uint32_t> events_;         // the voxel of each event
    std::vector<uint32_t> corner_events_;  // the event of each triangle corner
    // number's working storage, kept for the next plan
    std::vector<VertexIndex> index_of_voxel_;
    std::vector<uint32_t> number_of_index_;
    std::vector<uint32_t> number_of_event_;
};

// The two bits of a row at k - 1 and k (k >= 1), the lower one first.
inline unsigned bit_pair(const uint64_t* row, uint32_t k) {
    const uint32_t below = k - 1;
    return (unsigned(row[below >> 6] >> (below & 63u)) & 1u) | (unsigned(row[k >> 6] >> (k & 63u)) & 1u) << 1;
}

// The column of cubes whose highest corners are (x, y, z) for z in z0 + 1 ..
// z1, over the four rows (x - 1, y - 1), (x - 1, y), (x, y - 1), (x, y) as
// bit rows starting at first_z. Row r holds the corners 2r (at z - 1) and
// 2r + 1 (at z). Only cubes that are neither wholly solid nor wholly clear
// are looked at, found a word of the column at a time.
//
// A corner is met again without an event within its cube, and a lower
// corner when the cube just below met it as an upper corner.
class ColumnPlanner {
public:
    ColumnPlanner(CornerEvents& events, const uint64_t* const (&rows)[kRows], uint32_t x, uint32_t y,
                  uint32_t first_z)
        : events_(events), rows_(rows), x_(x), y_(y), first_z_(first_z), triangles_of_(case_triangles().data()) {}

    // Cubes with highest corner bits first + 1 .. last of the rows.
    void run(uint32_t first, uint32_t last) {
        uint64_t all_carry = 0, any_carry = 0;
        for (uint32_t w = 0; w <= last >> 6; ++w) {
            const uint64_t all = rows_[0][w] & rows_[1][w] & rows_[2][w] & rows_[3][w];
            const uint64_t any = rows_[0][w] | rows_[1][w] | rows_[2][w] | rows_[3][w];
            uint64_t mixed = (any | (any << 1 | any_carry)) & ~(all & (all << 1 | all_carry));
            all_carry = all >> 63;
            any_carry = any >> 63;
            const uint32_t base = w << 6;
            if (first >= base) mixed &= first - base >= 63 ? 0 : ~((uint64_t(2) << (first - base)) - 1);
            if (last - base < 63) mixed &= (uint64_t(2) << (last - base)) - 1;
            for (; mixed != 0; mixed &= mixed - 1) cube(base + uint32_t(__builtin_ctzll(mixed)));
        }
    }

private:
    void cube(uint32_t k) {
        unsigned cube_case = 0;
        for (uint32_t r = 0; r < kRows; ++r) cube_case |= bit_pair(rows_[r], k) << (2 * r);
        const CubeTriangles& triangles = triangles_of_[cube_case];
        if (triangles.empty()) return;
        const bool below_met = met_ && met_k_ == k - 1;
        for (uint32_t r = 0; r < kRows; ++r) {
            event_[2 * r] = below_met ? event_[2 * r + 1] : kNoVertex;
            event_[2 * r + 1] = kNoVertex;
        }
        std::vector<uint32_t>& corners = events_.corner_events();
        for (const CubeTriangle& triangle : triangles) {
            const uint32_t e0 = event_of(triangle[0], k);
            const uint32_t e1 = event_of(triangle[1], k);
            const uint32_t e2 = event_of(triangle[2], k);
            corners.push_back(e0);
            corners.push_back(e1);
            corners.push_back(e2);
        }
        met_ = true;
        met_k_ = k;
    }

    // The event of corner j of the cube whose highest corner is bit k.
    uint32_t event_of(uint32_t j, uint32_t k) {
        if (event_[j] == kNoVertex) {
            const uint32_t x = x_ - 1 + ((j >> 2) & 1u);
            const uint32_t y = y_ - 1 + ((j >> 1) & 1u);
            const uint32_t z = first_z_ + k - 1 + (j & 1u);
            event_[j] = events_.meet(x, y, z);
        }
        return event_[j];
    }

    CornerEvents& events_;
    const uint64_t* const (&rows_)[kRows];
    const uint32_t x_;
    const uint32_t y_;
    const uint32_t first_z_;
    const CubeTriangles* const triangles_of_;
    bool met_ = false;   // some cube of the column met corners, the last at met_k_
    uint32_t met_k_ = 0;
    uint32_t event_[kCubeCorners] = {};
};

}  // namespace

namespace {

void plan_limit_surface(const VoxelGrid& grid, const SurfaceVertexSet& vertices, const IntBox& box,
                        LimitSurfacePlan& plan, CornerEvents& events) {
    plan.clear();
    events.clear();
    if (!box.fits_within(grid.side())) return;
    if (box.x0 == box.x1 || box.y0 == box.y1 || box.z0 == box.z1) return;  // too thin for a cube

    BoxLayerRows layers(grid, box);
    const uint32_t words = layers.words_per_row();
    const uint32_t first = box.z0 - layers.first_z(), last = box.z1 - layers.first_z();
    std::vector<uint64_t> previous, current;  // the bit rows of layers y - 1 and y
    layers.read(box.y0, previous);
    for (uint32_t y = box.y0 + 1; y <= box.y1; ++y) {
        layers.read(y, current);
        for (uint32_t i = 1; i <= box.x1 - box.x0; ++i) {
            const uint64_t* const rows[kRows] = {&previous[size_t(i - 1) * words], &current[size_t(i - 1) * words],
                                                 &previous[size_t(i) * words], &current[size_t(i) * words]};
            ColumnPlanner(events, rows, box.x0 + i, y, layers.first_z()).run(first, last);
        }
        std::swap(previous, current);
    }
    events.number(vertices, plan);
    events.release_if_large();
}

}  // namespace

void plan_limit_surface(const VoxelGrid& grid, const SurfaceVertexSet& vertices, const IntBox& box,
                        LimitSurfacePlan& plan) {
    CornerEvents events;
    plan_limit_surface(grid, vertices, box, plan, events);
}

void emit_limit_surface(const LimitSurfacePlan& plan, SurfaceVertexSet& vertices, SurfaceMesh& mesh, uint32_t frame,
                        const PhysicsParameters& physics) {
    const uint32_t count = static_cast<uint32_t>(plan.vertices.size());
    const uint32_t first = mesh.vertex_count();
    std::vector<uint32_t> mesh_index(count);
    float* positions = mesh.add_vertex_room(count);
    uint32_t written = 0;
    size_t bare = 0;
    for (uint32_t i = 0; i < count;) {
        // The run of vertices of the set up to the next voxel without one.
        uint32_t end = i;
        while (end < count && plan.vertices[end] != kNoVertexIndex) ++end;
        written += vertices.advance_and_emit_run(plan.vertices.data() + i, end - i, frame, physics, first + written,
                                                 positions + 4 * size_t(written), mesh_index.data() + i);
        if (end == count) break;
        const VertexCoordinates& voxel = plan.bare_voxels[bare++];
        const Vector3 anchor = vertices.bare_anchor(voxel.x, voxel.y, voxel.z);
        float* out = positions + 4 * size_t(written);
        out[0] = anchor.x;
        out[1] = anchor.y;
        out[2] = anchor.z;
        out[3] = 0.0f;
        mesh_index[end] = first + written++;
        i = end + 1;
    }
    mesh.keep_vertices(first + written);

    if (written == count) {
        // Every vertex was numbered afresh, in plan order.
        mesh.add_indices(plan.corners.data(), plan.corners.size(), first);
    } else {
        uint32_t* indices = mesh.add_index_room(plan.corners.size());
        for (size_t c = 0; c < plan.corners.size(); ++c) indices[c] = mesh_index[plan.corners[c]];
    }
}

namespace {

// The plan of the last sweep, with what it was made from.
class SweepPlanCache {
public:
    const LimitSurfacePlan& plan_for(const VoxelGrid& grid, const SurfaceVertexSet& vertices, const IntBox& box) {
        describe_box_contents(grid, box, contents_now_);
        const uint64_t layout = vertices.layout_stamp();
        if (valid_ && layout == layout_ && grid.levels() == levels_ && box == box_ && contents_now_ == contents_) {
            return plan_;
        }
        valid_ = false;
        plan_limit_surface(grid, vertices, box, plan_, events_);
        std::swap(contents_, contents_now_);
        layout_ = layout;
        levels_ = grid.levels();
        box_ = box;
        valid_ = true;
        return plan_;
    }

private:
    bool valid_ = false;
    uint64_t layout_ = 0;
    uint32_t levels_ = 0;
    IntBox box_;
    std::vector<uint64_t> contents_;
    std::vector<uint64_t> contents_now_;
    LimitSurfacePlan plan_;
    CornerEvents events_;
};

}  // namespace

void sweep_limit_surface(const VoxelGrid& grid, SurfaceVertexSet& vertices, const IntBox& box, SurfaceMesh& mesh,
                         uint32_t frame, const PhysicsParameters& physics) {
    static thread_local SweepPlanCache cache;
    emit_limit_surface(cache.plan_for(grid, vertices, box), vertices, mesh, frame, physics);
}

void sweep_limit_surface(World& world, const IntBox& box, SurfaceMesh& mesh, uint32_t frame,
                         const PhysicsParameters& physics) {
    sweep_limit_surface(world.grid(), world.vertices(), box, mesh, frame, physics);
}
