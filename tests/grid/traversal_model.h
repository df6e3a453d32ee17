#pragma once

// A voxel-by-voxel model of the box traversal, and helpers shared by its
// tests and benchmark: a visitor that records every call, and a generator of
// randomly sculpted grids.
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "grid/IntBox.h"
#include "grid/SquareVisitor.h"
#include "grid/VoxelGrid.h"

namespace traversal_model {

// Corner c of a face at t on the row's axis, straight from the table of
// the three passes.
inline std::array<uint32_t, 3> table_corner(uint32_t axis, int c, uint32_t t, uint32_t x, uint32_t y, uint32_t z) {
    const uint32_t by_pass[3][4][3] = {
        {{t, y, z}, {t, y, z + 1}, {t, y + 1, z + 1}, {t, y + 1, z}},
        {{x, t, z}, {x + 1, t, z}, {x + 1, t, z + 1}, {x, t, z + 1}},
        {{x, y, t}, {x, y + 1, t}, {x + 1, y + 1, t}, {x + 1, y, t}},
    };
    const uint32_t* corner = by_pass[axis][c];
    return {corner[0], corner[1], corner[2]};
}

// Walks each row voxel by voxel with get_voxel and produces the same calls
// that visit_box_squares should make.
class BruteForceWalk {
public:
    BruteForceWalk(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid)
        : grid_(grid), box_(box), visitor_(visitor), outside_solid_(outside_solid) {}

    void run() {
        for (uint32_t z = box_.z0; z <= box_.z1; ++z)
            for (uint32_t y = box_.y0; y <= box_.y1; ++y) row(0, {0, y, z});
        for (uint32_t x = box_.x0; x <= box_.x1; ++x)
            for (uint32_t z = box_.z0; z <= box_.z1; ++z) row(1, {x, 0, z});
        for (uint32_t y = box_.y0; y <= box_.y1; ++y)
            for (uint32_t x = box_.x0; x <= box_.x1; ++x) row(2, {x, y, 0});
    }

private:
    bool solid_at(uint32_t axis, std::array<uint32_t, 3> p, uint32_t t) const {
        if (t < box_.lower(axis) || t > box_.upper(axis)) return outside_solid_;
        p[axis] = t;
        return grid_.get_voxel(p[0], p[1], p[2]);
    }

    void row(uint32_t axis, std::array<uint32_t, 3> p) {
        for (uint32_t t = box_.lower(axis); t <= box_.upper(axis) + 1; ++t) {
            const bool before = solid_at(axis, p, t - 1), after = solid_at(axis, p, t);
            if (before == after) continue;
            std::vector<uint32_t>& list = after ? entering_ : leaving_;
            list.push_back(t);
            if (list.size() == 16) flush(axis, p);
        }
        if (!entering_.empty() || !leaving_.empty()) flush(axis, p);
    }

    void flush(uint32_t axis, const std::array<uint32_t, 3>& p) {
        float normal[3] = {0.0f, 0.0f, 0.0f};
        visitor_.begin_batch(&square_);
        normal[axis] = -1.0f;
        visitor_.set_normal(normal[0], normal[1], normal[2]);
        for (uint32_t t : entering_) emit(axis, p, t, {0, 1, 2, 3});
        normal[axis] = 1.0f;
        visitor_.set_normal(normal[0], normal[1], normal[2]);
        for (uint32_t t : leaving_) emit(axis, p, t, {0, 3, 2, 1});
        visitor_.end_batch();
        entering_.clear();
        leaving_.clear();
    }

    void emit(uint32_t axis, const std::array<uint32_t, 3>& p, uint32_t t, std::array<int, 4> order) {
        for (int c = 0; c < 4; ++c) {
            const auto corner = table_corner(axis, order[c], t, p[0], p[1], p[2]);
            std::memcpy(square_.corners[c], corner.data(), sizeof square_.corners[c]);
        }
        visitor_.emit_square();
    }

    const VoxelGrid& grid_;
    IntBox box_;
    SquareVisitor& visitor_;
    bool outside_solid_;
    Square square_;
    std::vector<uint32_t> entering_, leaving_;
};

// One call received by a visitor: the kind ('b'egin, 'n'ormal, 's'quare,
// 'e'nd) and its data (a normal's float bits, a square's 12 coordinates).
struct Event {
    char kind = 0;
    std::array<uint32_t, 12> data{};
    bool operator==(const Event& other) const { return kind == other.kind && data == other.data; }
};

class RecordingVisitor final : public SquareVisitor {
public:
    std::vector<Event> events;

    void begin_batch(const Square* square) override {
        square_ = square;
        events.push_back({'b', {}});
    }
    void set_normal(float x, float y, float z) override {
        Event event{'n', {}};
        const float normal[3] = {x, y, z};
        std::memcpy(event.data.data(), normal, sizeof normal);
        events.push_back(event);
    }
    void emit_square() override {
        Event event{square_ ? 's' : '?', {}};
        if (square_) std::memcpy(event.data.data(), square_->corners, sizeof square_->corners);
        events.push_back(event);
    }
    void end_batch() override {
        square_ = nullptr;
        events.push_back({'e', {}});
    }

private:
    const Square* square_ = nullptr;
};

inline uint32_t below(std::mt19937& random, uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

// Sets (or clears) every voxel of the box.
inline void fill_box(VoxelGrid& grid, const IntBox& box, bool solid) {
    for (uint32_t z = box.z0; z <= box.z1; ++z)
        for (uint32_t y = box.y0; y <= box.y1; ++y)
            for (uint32_t x = box.x0; x <= box.x1; ++x) solid ? grid.set_voxel(x, y, z) : grid.clear_voxel(x, y, z);
}

// A random cube-shaped region of `size` voxels starting at `origin`.
inline IntBox random_block(std::mt19937& random, const uint32_t origin[3], uint32_t region, uint32_t size) {
    uint32_t lower[3];
    for (int a = 0; a < 3; ++a) lower[a] = origin[a] + below(random, region - size + 1);
    return {lower[0], lower[1], lower[2], lower[0] + size - 1, lower[1] + size - 1, lower[2] + size - 1};
}

// Edits a random part of the region: a box of 1 to 64 voxels a side made
// solid or clear, or a comb: a box 48 voxels long whose layers are solid and
// clear in turn (its rows have many faces).
inline void small_edit(VoxelGrid& grid, std::mt19937& random, const uint32_t origin[3], uint32_t region) {
    const uint32_t kind = below(random, 3);
    if (kind < 2) {
        fill_box(grid, random_block(random, origin, region, 1 + below(random, kind == 0 ? 4 : 64)), random() % 2);
        return;
    }
    const IntBox comb = random_block(random, origin, region, 48);
    const uint32_t axis = below(random, 3), width = 1 + below(random, 12);
    uint32_t lower[3] = {comb.x0, comb.y0, comb.z0}, upper[3];
    for (int a = 0; a < 3; ++a) upper[a] = lower[a] + width - 1;
    for (uint32_t layer = 0; layer < 48; ++layer) {
        lower[axis] = upper[axis] = comb.lower(axis) + layer;
        fill_box(grid, {lower[0], lower[1], lower[2], upper[0], upper[1], upper[2]}, layer % 2 == 0);
    }
}

// Makes one whole aligned cell of the region solid or clear (the opposite of
// its first voxel): a leaf block, or (when the region holds several) a cell
// of 64 voxels a side.
inline void whole_cell_edit(VoxelGrid& grid, std::mt19937& random, const uint32_t origin[3], uint32_t region) {
    const uint32_t cell = region > 64 && random() % 3 != 0 ? 64 : 8;
    uint32_t corner[3];
    for (int a = 0; a < 3; ++a) corner[a] = origin[a] + cell * below(random, region / cell);
    const uint32_t x = corner[0], y = corner[1], z = corner[2];
    fill_box(grid, {x, y, z, x + cell - 1, y + cell - 1, z + cell - 1}, !grid.get_voxel(x, y, z));
}

// Sculpts a cube region of the grid (whose origin is a multiple of 64):
// small edits, then whole cells, so that uniform cells of every size lie
// next to partly filled ones.
inline void sculpt_randomly(VoxelGrid& grid, std::mt19937& random, const uint32_t origin[3], uint32_t region) {
    for (int i = 0; i < 30; ++i) small_edit(grid, random, origin, region);
    for (int i = 0; i < 4; ++i) whole_cell_edit(grid, random, origin, region);
}

}  // namespace traversal_model
