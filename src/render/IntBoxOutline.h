#pragma once

#include <cstdint>

#include "grid/IntBox.h"

// The box of world space that a box of voxels fills: from the lower corner of
// its lowest voxel to the upper corner of its highest, (x0, y0, z0) to
// (x1 + 1, y1 + 1, z1 + 1). Bounds given in reverse are put in order first.
struct IntBoxExtent {
    int32_t lower[3];
    int32_t upper[3];
};

IntBoxExtent int_box_extent(const IntBox& box);

// Draws the 12 edges of int_box_extent(box) as one batch of OpenGL lines
// (integer vertices), in the current colour and in the edge order of
// for_each_box_edge. Needs a current OpenGL context.
void draw_int_box_outline(const IntBox& box);
