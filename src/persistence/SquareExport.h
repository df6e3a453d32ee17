#pragma once

#include "grid/IntBox.h"
#include "grid/SquareVisitor.h"
#include "grid/VoxelGrid.h"
#include "persistence/Vertex3Callback.h"

// Sends each square's four corners to a vertex3 callback, moved by `offset`,
// scaled by `scale` and turned a quarter turn about the x axis:
// (x, y, z) -> ((x + ox) * s, -((z + oz) * s), (y + oy) * s), each computed
// in double precision and rounded to float. A zero product on the middle
// coordinate therefore arrives as -0.
class ExportSquareVisitor final : public SquareVisitor {
public:
    ExportSquareVisitor(Vertex3Func callback, float offset_x, float offset_y, float offset_z, float scale);

    void begin_batch(const Square* square) override { square_ = square; }
    void set_normal(float, float, float) override {}
    void emit_square() override;
    void end_batch() override {}

private:
    const Square* square_ = nullptr;
    Vertex3Func callback_;
    float offset_[3];
    float scale_;
};

// The scale that maps the box's largest extent (x1 - x0, y1 - y0 or
// z1 - z0) to `max_dim`. A box of a single voxel has no extent at all and
// gets a scale of `max_dim` (rather than a division by zero).
float export_scale(const IntBox& box, float max_dim);

// Sends the faces of the box's voxels to the process-wide vertex3 callback,
// centred on the box and scaled by export_scale, four calls per square in
// the order of visit_box_squares. Nothing happens when no callback is set or
// when the box is reversed or reaches outside the grid.
void export_display_box(const VoxelGrid& grid, const IntBox& box, float max_dim, bool outside_solid);
