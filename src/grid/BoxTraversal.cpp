#include "grid/BoxTraversal.h"

#include <utility>

#include "grid/GridCursor.h"

namespace {

constexpr uint32_t kBatchSize = 16;

// Offsets (along u, along v) of the four corners of a square, in corner order.
constexpr uint32_t kCornerOffsets[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

// Face coordinates of one direction waiting to be handed over.
struct FaceList {
    uint32_t coordinates[kBatchSize];
    uint32_t count = 0;

    void push(uint32_t t) { coordinates[count++] = t; }
    bool full() const { return count == kBatchSize; }
    bool empty() const { return count == 0; }
};

// Walks the rows of a box pass by pass, collecting each row's faces and
// handing them to the visitor through one reused square record.
class RowWalker {
public:
    RowWalker(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid)
        : box_(box),
          visitor_(visitor),
          outside_solid_(outside_solid),
          cursor_(grid, box.x1 + 1, box.y1 + 1, box.z1 + 1) {}

    // Every row along `axis`: v (the second of the other two axes) outer, u inner.
    void walk_pass(uint32_t axis) {
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        for (uint32_t v = box_.lower(v_axis); v <= box_.upper(v_axis); ++v) {
            for (uint32_t u = box_.lower(u_axis); u <= box_.upper(u_axis); ++u) walk_row(axis, u, v);
        }
    }

private:
    void walk_row(uint32_t axis, uint32_t u, uint32_t v) {
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        for (uint32_t c = 0; c < 4; ++c) {
            square_.corners[c][u_axis] = u + kCornerOffsets[c][0];
            square_.corners[c][v_axis] = v + kCornerOffsets[c][1];
        }
        uint32_t start[3];
        start[axis] = box_.lower(axis);
        start[u_axis] = u;
        start[v_axis] = v;
        cursor_.seek(start[0], start[1], start[2], axis);

        bool solid = cursor_.solidity();
        if (solid != outside_solid_) (solid ? entering_ : leaving_).push(start[axis]);
        while (const uint32_t t = cursor_.next_transition()) {
            FaceList& list = solid ? leaving_ : entering_;
            list.push(t);
            solid = cursor_.solidity();
            if (list.full()) flush(axis);
        }
        // Neither list can be full here: a full list was flushed at once.
        if (solid != outside_solid_) (solid ? leaving_ : entering_).push(box_.upper(axis) + 1);
        if (!entering_.empty() || !leaving_.empty()) flush(axis);
    }

    void flush(uint32_t axis) {
        visitor_.begin_batch(&square_);
        set_normal(axis, -1.0f);
        emit_all(entering_, axis);
        set_normal(axis, 1.0f);
        std::swap(square_.corners[1], square_.corners[3]);
        emit_all(leaving_, axis);
        std::swap(square_.corners[1], square_.corners[3]);
        visitor_.end_batch();
    }

    void set_normal(uint32_t axis, float direction) {
        float normal[3] = {0.0f, 0.0f, 0.0f};
        normal[axis] = direction;
        visitor_.set_normal(normal[0], normal[1], normal[2]);
    }

    void emit_all(FaceList& list, uint32_t axis) {
        for (uint32_t i = 0; i < list.count; ++i) {
            for (auto& corner : square_.corners) corner[axis] = list.coordinates[i];
            visitor_.emit_square();
        }
        list.count = 0;
    }

    const IntBox& box_;
    SquareVisitor& visitor_;
    const bool outside_solid_;
    GridCursor cursor_;
    Square square_;
    FaceList entering_;
    FaceList leaving_;
};

}  // namespace

void visit_box_squares(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid) {
    if (!box.fits_within(grid.side())) return;
    RowWalker walker(grid, box, visitor, outside_solid);
    for (uint32_t axis = 0; axis < 3; ++axis) walker.walk_pass(axis);
}
