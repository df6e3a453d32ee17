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

// Walks each row voxel by voxel with get_voxel and produces the same calls
// that visit_box_squares should make, as BoxTraversal.h describes them: pass
// a walks the rows of (u, v) = axes (a + 1, a + 2) with v outer.
class BruteForceWalk {
public:
    BruteForceWalk(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid)
        : grid_(grid), box_(box), visitor_(visitor), outside_solid_(outside_solid) {}

    void run() {
        for (uint32_t a = 0; a < 3; ++a)
            for (uint32_t v = box_.lower((a + 2) % 3); v <= box_.upper((a + 2) % 3); ++v)
                for (uint32_t u = box_.lower((a + 1) % 3); u <= box_.upper((a + 1) % 3); ++u) {
                    std::array<uint32_t, 3> p{};
                    p[(a + 1) % 3] = u, p[(a + 2) % 3] = v;
                    row(a, p);
                }
    }

private:
    void row(uint32_t a, std::array<uint32_t, 3> p) {
        auto solid = [&](uint32_t t) {
            if (t < box_.lower(a) || t > box_.upper(a)) return outside_solid_;
            p[a] = t;
            return grid_.get_voxel(p[0], p[1], p[2]);
        };
        for (uint32_t t = box_.lower(a); t <= box_.upper(a) + 1; ++t) {
            const bool after = solid(t);
            if (solid(t - 1) == after) continue;
            faces_[!after].push_back(t);  // entering solid space, or leaving it
            if (faces_[!after].size() == 16) flush(a, p);
        }
        if (!faces_[0].empty() || !faces_[1].empty()) flush(a, p);
    }

    void flush(uint32_t a, std::array<uint32_t, 3> p) {
        static const uint32_t du[4] = {0, 0, 1, 1}, dv[4] = {0, 1, 1, 0};  // corners (u, v) .. (u + 1, v)
        visitor_.begin_batch(&square_);
        for (int leaving = 0; leaving < 2; ++leaving) {
            float normal[3] = {0.0f, 0.0f, 0.0f};
            normal[a] = leaving ? 1.0f : -1.0f;
            visitor_.set_normal(normal[0], normal[1], normal[2]);
            for (uint32_t t : faces_[leaving]) {
                p[a] = t;
                for (int c = 0; c < 4; ++c) {
                    const int k = leaving ? (4 - c) % 4 : c;  // corners 1 and 3 exchanged
                    std::memcpy(square_.corners[c], p.data(), sizeof square_.corners[c]);
                    square_.corners[c][(a + 1) % 3] += du[k];
                    square_.corners[c][(a + 2) % 3] += dv[k];
                }
                visitor_.emit_square();
            }
            faces_[leaving].clear();
        }
        visitor_.end_batch();
    }

    const VoxelGrid& grid_;
    IntBox box_;
    SquareVisitor& visitor_;
    bool outside_solid_;
    Square square_;
    std::vector<uint32_t> faces_[2];
};

// Records every call: the kind ('b'egin, 'n'ormal, 's'quare, 'e'nd), then
// a normal's float bits or a square's 12 coordinates.
struct RecordingVisitor final : SquareVisitor {
    std::vector<std::array<uint32_t, 13>> events;
    const Square* square = nullptr;

    void begin_batch(const Square* s) override { square = s, events.push_back({'b'}); }
    void set_normal(float x, float y, float z) override {
        const float normal[3] = {x, y, z};
        events.push_back({'n'});
        std::memcpy(&events.back()[1], normal, sizeof normal);
    }
    void emit_square() override {
        events.push_back({square ? uint32_t('s') : '?'});
        if (square) std::memcpy(&events.back()[1], square->corners, sizeof square->corners);
    }
    void end_batch() override { square = nullptr, events.push_back({'e'}); }
};

inline uint32_t below(std::mt19937& random, uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

// Sets (or clears) every voxel of the box.
inline void fill_box(VoxelGrid& grid, const IntBox& box, bool solid) {
    for (uint32_t z = box.z0; z <= box.z1; ++z)
        for (uint32_t y = box.y0; y <= box.y1; ++y)
            for (uint32_t x = box.x0; x <= box.x1; ++x) solid ? grid.set_voxel(x, y, z) : grid.clear_voxel(x, y, z);
}

// Edits a random part of the region: a box of 1 to 64 voxels a side made
// solid or clear, or a comb: a box 48 voxels long whose layers are solid and
// clear in turn (its rows have many faces).
inline void small_edit(VoxelGrid& grid, std::mt19937& random, const uint32_t origin[3], uint32_t region) {
    const uint32_t kind = below(random, 3), size = kind == 2 ? 48 : 1 + below(random, kind == 0 ? 4 : 64);
    uint32_t lower[3], upper[3];
    for (int a = 0; a < 3; ++a) upper[a] = (lower[a] = origin[a] + below(random, region - size + 1)) + size - 1;
    if (kind < 2) return fill_box(grid, {lower[0], lower[1], lower[2], upper[0], upper[1], upper[2]}, random() % 2);
    const uint32_t axis = below(random, 3), width = 1 + below(random, 12);
    for (int a = 0; a < 3; ++a) upper[a] = lower[a] + width - 1;
    for (uint32_t layer = 0, first = lower[axis]; layer < 48; ++layer) {
        lower[axis] = upper[axis] = first + layer;
        fill_box(grid, {lower[0], lower[1], lower[2], upper[0], upper[1], upper[2]}, layer % 2 == 0);
    }
}

// Sculpts a cube region of the grid (whose origin is a multiple of 64):
// small edits, then whole aligned cells made solid or clear (the opposite of
// their first voxel): leaf blocks, or (when the region holds several) cells
// of 64 voxels a side, so that uniform cells of every size lie next to partly
// filled ones.
inline void sculpt_randomly(VoxelGrid& grid, std::mt19937& random, const uint32_t origin[3], uint32_t region) {
    for (int i = 0; i < 30; ++i) small_edit(grid, random, origin, region);
    for (int i = 0; i < 4; ++i) {
        const uint32_t cell = region > 64 && random() % 3 != 0 ? 64 : 8;
        uint32_t c[3];
        for (int a = 0; a < 3; ++a) c[a] = origin[a] + cell * below(random, region / cell);
        fill_box(grid, {c[0], c[1], c[2], c[0] + cell - 1, c[1] + cell - 1, c[2] + cell - 1}, !grid.get_voxel(c[0], c[1], c[2]));
    }
}

}  // namespace traversal_model
