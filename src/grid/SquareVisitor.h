#pragma once

#include <cstdint>

// A unit face between a solid and a clear voxel: four corners (x, y, z) on
// voxel corners, voxel (i, j, k) filling [i, i + 1] x [j, j + 1] x [k, k + 1].
// The corners run counter-clockwise seen from the clear side.
struct Square {
    uint32_t corners[4][3] = {};
};

// Receives the faces found by visit_box_squares, in batches. A batch opens
// with begin_batch, which hands over the traversal's one square record: the
// visitor keeps the pointer and reads the corners at each emit_square, since
// the traversal rewrites them in place between faces. set_normal announces
// the outward normal of the faces that follow (zero except -1 or +1 on the
// axis of the row).
//
// The destructor is protected and not virtual: a visitor is never owned or
// deleted through this interface, which keeps it to its four operations.
class SquareVisitor {
public:
    virtual void begin_batch(const Square* square) = 0;
    virtual void set_normal(float x, float y, float z) = 0;
    virtual void emit_square() = 0;
    virtual void end_batch() = 0;

protected:
    ~SquareVisitor() = default;
};
