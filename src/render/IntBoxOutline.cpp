#include "render/IntBoxOutline.h"

#include <GL/gl.h>

#include <algorithm>

#include "math/PrimitiveDrawer.h"

IntBoxExtent int_box_extent(const IntBox& box) {
    IntBoxExtent extent{};
    for (uint32_t axis = 0; axis < 3; ++axis) {
        const uint32_t lo = std::min(box.lower(axis), box.upper(axis));
        const uint32_t hi = std::max(box.lower(axis), box.upper(axis));
        extent.lower[axis] = static_cast<int32_t>(lo);
        extent.upper[axis] = static_cast<int32_t>(hi + 1);
    }
    return extent;
}

void draw_int_box_outline(const IntBox& box) {
    const IntBoxExtent e = int_box_extent(box);
    glBegin(GL_LINES);
    for_each_box_edge(e.lower[0], e.lower[1], e.lower[2], e.upper[0], e.upper[1], e.upper[2],
                      [](GLint ax, GLint ay, GLint az, GLint bx, GLint by, GLint bz) {
                          glVertex3i(ax, ay, az);
                          glVertex3i(bx, by, bz);
                      });
    glEnd();
}
