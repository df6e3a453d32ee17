#include "grid/BoxTraversal.h"

#include <utility>
#include <vector>

#include "grid/RowBits.h"
#include "grid/RowSpans.h"

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
//
// The rows of a pass are taken a layer of leaf-block columns at a time: when
// the outer coordinate v enters a new multiple of 8, the cells crossed by
// every column of the layer are collected once (RowSpans), and the next 8 x 8
// rows of each column read their solidity changes from them: a uniform cell
// by its solidity, a leaf block by the row's 8 bits at once.
class RowWalker {
public:
    RowWalker(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid)
        : grid_(grid), box_(box), visitor_(visitor), outside_solid_(outside_solid) {}

    // Every row along `axis`: v (the second of the other two axes) outer, u inner.
    void walk_pass(uint32_t axis) {
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        for (uint32_t v = box_.lower(v_axis); v <= box_.upper(v_axis); ++v) {
            if (v == box_.lower(v_axis) || v % 8 == 0) collect_layer(axis, v);
            for (uint32_t u = box_.lower(u_axis); u <= box_.upper(u_axis); ++u) walk_row(axis, u, v);
        }
    }

private:
    // The stretches of every leaf-block column of the layer holding row v.
    void collect_layer(uint32_t axis, uint32_t v) {
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        spans_.clear();
        column_starts_.clear();
        uint32_t voxel[3];
        voxel[v_axis] = v;
        const uint32_t u0 = box_.lower(u_axis), u1 = box_.upper(u_axis);
        for (uint32_t u = u0; u <= u1; u = (u | 7u) + 1) {
            column_starts_.push_back(static_cast<uint32_t>(spans_.size()));
            voxel[u_axis] = u;
            collect_row_spans(grid_, voxel, axis, box_.lower(axis), box_.upper(axis) + 1, spans_);
            if ((u | 7u) >= u1) break;
        }
        column_starts_.push_back(static_cast<uint32_t>(spans_.size()));
    }

    void walk_row(uint32_t axis, uint32_t u, uint32_t v) {
        const uint32_t u_axis = (axis + 1) % 3, v_axis = (axis + 2) % 3;
        for (uint32_t c = 0; c < 4; ++c) {
            square_.corners[c][u_axis] = u + kCornerOffsets[c][0];
            square_.corners[c][v_axis] = v + kCornerOffsets[c][1];
        }
        uint32_t in_block[3] = {0, 0, 0};
        in_block[u_axis] = u & 7u;
        in_block[v_axis] = v & 7u;
        const ChildIndex row{in_block[0], in_block[1], in_block[2]};

        // The solidity before the current position: the outside's at first.
        bool solid = outside_solid_;
        const uint32_t column = (u >> 3) - (box_.lower(u_axis) >> 3);
        const RowSpan* span = spans_.data() + column_starts_[column];
        const RowSpan* const spans_end = spans_.data() + column_starts_[column + 1];
        for (; span != spans_end; ++span) {
            if (!span->leaf) {
                if (span->solid != solid) {
                    solid = span->solid;
                    add_face(axis, span->begin, solid);
                }
                continue;
            }
            const uint32_t bits = row_bits(span->leaf->bits, row, axis);
            const uint32_t first = span->begin & 7u, last = ((span->end - 1) & 7u) + 1;
            // Bit i of `before` is the solidity just before child i.
            const uint32_t before = ((bits << 1) & ~(1u << first)) | (uint32_t(solid) << first);
            uint32_t changes = (bits ^ before) & bit_range(first, last);
            const uint32_t base = span->begin - first;
            while (changes != 0) {
                const uint32_t i = static_cast<uint32_t>(__builtin_ctz(changes));
                changes &= changes - 1;
                solid = !solid;
                add_face(axis, base + i, solid);
            }
        }
        if (solid != outside_solid_) add_face(axis, box_.upper(axis) + 1, outside_solid_);
        if (!entering_.empty() || !leaving_.empty()) flush(axis);
    }

    // A change of solidity at t, to `solid` from the opposite.
    void add_face(uint32_t axis, uint32_t t, bool solid) {
        FaceList& list = solid ? entering_ : leaving_;
        list.push(t);
        if (list.full()) flush(axis);
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

    const VoxelGrid& grid_;
    const IntBox& box_;
    SquareVisitor& visitor_;
    const bool outside_solid_;
    Square square_;
    FaceList entering_;
    FaceList leaving_;
    std::vector<RowSpan> spans_;          // of every column of the current layer
    std::vector<uint32_t> column_starts_;  // each column's first span, and the end
};

}  // namespace

void visit_box_squares(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid) {
    if (!box.fits_within(grid.side())) return;
    RowWalker walker(grid, box, visitor, outside_solid);
    for (uint32_t axis = 0; axis < 3; ++axis) walker.walk_pass(axis);
}
