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

// What the cubes of one column share: where their corners' meetings go.
struct SweepTarget {
    CornerEvents& events;
};

// The column of cubes whose highest corners are (x, y, z) for z in z0 + 1 ..
// z1, over the four rows (x - 1, y - 1), (x - 1, y), (x, y - 1), (x, y). Row r
// holds the corners 2r (at z - 1) and 2r + 1 (at z); the corners' mesh
// indices are cached as the column moves up.
class ColumnSweep {
public:
    ColumnSweep(const SweepTarget& target, const RowList* const (&rows)[kRows], uint32_t x, uint32_t y)
        : target_(target), rows_(rows), x_(x), y_(y) {}

    void run(uint32_t z0, uint32_t z1) {
        start();
        int previous_case = -1;
        uint32_t z = z0 + 1;
        while (z <= z1) {
            move_up_to(z);
            const unsigned cube_case = current_case();
            const CubeTriangles& triangles = case_triangles()[cube_case];
            if (!triangles.empty() || static_cast<int>(cube_case) != previous_case) {
                previous_case = static_cast<int>(cube_case);
                std::vector<uint32_t>& corners = target_.events.corner_events();
                for (const CubeTriangle& triangle : triangles) {
                    const uint32_t i0 = mesh_index(triangle[0], z);
                    const uint32_t i1 = mesh_index(triangle[1], z);
                    const uint32_t i2 = mesh_index(triangle[2], z);
                    corners.push_back(i0);
                    corners.push_back(i1);
                    corners.push_back(i2);
                }
                ++z;
            } else {
                // Nothing changes before the next transition: jump there.
                const uint32_t next = next_[nearest_];
                if (next - z != 1) {
                    for (uint32_t r = 0; r < kRows; ++r) cached_[2 * r + 1] = kNoVertex;
                }
                z = next;
            }
        }
    }

private:
    void start() {
        for (uint32_t r = 0; r < kRows; ++r) {
            state_[r] = rows_[r]->first_solid;
            read_[r] = 0;
            next_[r] = rows_[r]->changes[0];
            solid_[2 * r + 1] = state_[r];
            cached_[2 * r] = cached_[2 * r + 1] = kNoVertex;
        }
        choose_nearest();
    }

    // The row whose next transition comes first, the lowest among equals.
    void choose_nearest() {
        nearest_ = 0;
        for (uint32_t r = 1; r < kRows; ++r) {
            if (next_[r] < next_[nearest_]) nearest_ = r;
        }
    }

    // Shifts the upper corners down and reads the new upper corners at z.
    void move_up_to(uint32_t z) {
        for (uint32_t r = 0; r < kRows; ++r) {
            solid_[2 * r] = solid_[2 * r + 1];
            cached_[2 * r] = cached_[2 * r + 1];
            cached_[2 * r + 1] = kNoVertex;
        }
        if (z == next_[nearest_]) {
            for (uint32_t r = 0; r < kRows; ++r) {
                if (next_[r] != z) continue;
                state_[r] = !state_[r];
                next_[r] = rows_[r]->changes[++read_[r]];
            }
            choose_nearest();
        }
        for (uint32_t r = 0; r < kRows; ++r) solid_[2 * r + 1] = state_[r];
    }

    unsigned current_case() const {
        unsigned cube_case = 0;
        for (uint32_t j = 0; j < kCubeCorners; ++j) {
            if (solid_[j]) cube_case |= 1u << j;
        }
        return cube_case;
    }

    // The event of corner j of the cube whose highest corner is at z.
    uint32_t mesh_index(uint32_t j, uint32_t z) {
        if (cached_[j] == kNoVertex) {
            const uint32_t x = x_ - 1 + ((j >> 2) & 1u);
            const uint32_t y = y_ - 1 + ((j >> 1) & 1u);
            const uint32_t corner_z = z - 1 + (j & 1u);
            cached_[j] = target_.events.meet(x, y, corner_z);
        }
        return cached_[j];
    }

    const SweepTarget& target_;
    const RowList* const (&rows_)[kRows];
    const uint32_t x_;
    const uint32_t y_;
    bool state_[kRows] = {};
    size_t read_[kRows] = {};
    uint32_t next_[kRows] = {};
    uint32_t nearest_ = 0;
    bool solid_[kCubeCorners] = {};
    uint32_t cached_[kCubeCorners] = {};
};

}  // namespace

void RowList::fill(const uint64_t* bits, uint32_t first_z, uint32_t z0, uint32_t z1) {
    changes.clear();
    const uint32_t first = z0 - first_z, last = z1 - first_z;
    first_solid = (bits[first >> 6] >> (first & 63u)) & 1u;
    uint64_t carry = 0;  // the top bit of the word before
    for (uint32_t w = 0; w <= last >> 6; ++w) {
        const uint32_t base = w << 6;
        uint64_t flips = bits[w] ^ (bits[w] << 1 | carry);
        carry = bits[w] >> 63;
        // Only changes at z0 + 1 .. z1 count.
        if (first >= base) flips &= first - base >= 63 ? 0 : ~((uint64_t(2) << (first - base)) - 1);
        if (last - base < 63) flips &= (uint64_t(2) << (last - base)) - 1;
        for (; flips != 0; flips &= flips - 1) changes.push_back(first_z + base + uint32_t(__builtin_ctzll(flips)));
    }
    changes.push_back(kRowEnd);
}

namespace {

void plan_limit_surface(const VoxelGrid& grid, const SurfaceVertexSet& vertices, const IntBox& box,
                        LimitSurfacePlan& plan, CornerEvents& events) {
    plan.clear();
    events.clear();
    if (!box.fits_within(grid.side())) return;
    if (box.x0 == box.x1 || box.y0 == box.y1 || box.z0 == box.z1) return;  // too thin for a cube

    BoxLayerRows layers(grid, box);
    std::vector<uint64_t> bits;
    const uint32_t words = layers.words_per_row();
    const SweepTarget target{events};
    const uint32_t width = box.x1 - box.x0 + 1;
    std::vector<RowList> previous(width);  // the rows at y - 1, by x - x0
    std::vector<RowList> current(width);   // the rows at y
    auto fill_row = [&](RowList& row, uint32_t i) { row.fill(&bits[size_t(i) * words], layers.first_z(), box.z0, box.z1); };
    layers.read(box.y0, bits);
    for (uint32_t i = 0; i < width; ++i) fill_row(previous[i], i);

    for (uint32_t y = box.y0 + 1; y <= box.y1; ++y) {
        layers.read(y, bits);
        fill_row(current[0], 0);
        for (uint32_t i = 1; i < width; ++i) {
            fill_row(current[i], i);
            const RowList* const rows[kRows] = {&previous[i - 1], &current[i - 1], &previous[i], &current[i]};
            ColumnSweep(target, rows, box.x0 + i, y).run(box.z0, box.z1);
        }
        std::swap(previous, current);
    }
    events.number(vertices, plan);
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

    uint32_t* indices = mesh.add_index_room(plan.corners.size());
    if (written == count) {
        // Every vertex was numbered afresh, in plan order.
        for (size_t c = 0; c < plan.corners.size(); ++c) indices[c] = first + plan.corners[c];
    } else {
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
