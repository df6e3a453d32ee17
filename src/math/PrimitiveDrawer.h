#pragma once

#include <cstdint>
#include <utility>

#include "math/Vector3.h"

// Draws simple primitives in world coordinates (voxel units) in the current
// colour. The grid affectors outline their shapes through it; GlPrimitiveDrawer
// draws with OpenGL.
class PrimitiveDrawer {
public:
    virtual ~PrimitiveDrawer() = default;

    // The 12 edges of the axis-aligned box with the given opposite corners,
    // in the order of for_each_box_edge, as one batch of lines.
    virtual void draw_box_outline(const Vector3& lower, const Vector3& upper) = 0;
    // One line segment.
    virtual void draw_line(const Vector3& a, const Vector3& b) = 0;
    // Indexed triangles. `positions` and `normals` hold four floats per vertex
    // (x, y, z and an unused w); `normals` may be null. `indices` holds
    // `index_count` vertex numbers, three per triangle.
    virtual void draw_triangles(const float* positions, const float* normals, const uint32_t* indices,
                                uint32_t index_count) = 0;
};

// Calls edge(a_x, a_y, a_z, b_x, b_y, b_z) for the 12 edges of the box from
// (x0, y0, z0) to (x1, y1, z1), each from its lower to its upper end: the four
// along x (at y0 z0, y1 z0, y1 z1, y0 z1), the four along y (at x0 z0, x1 z0,
// x0 z1, x1 z1), then the four along z (at x0 y0, x1 y0, x0 y1, x1 y1). The
// corners are taken per axis as lower and upper, so either order of the two
// corners gives the same edges.
template <typename T, typename Edge>
void for_each_box_edge(T x0, T y0, T z0, T x1, T y1, T z1, Edge&& edge) {
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    if (z1 < z0) std::swap(z0, z1);
    edge(x0, y0, z0, x1, y0, z0);
    edge(x0, y1, z0, x1, y1, z0);
    edge(x0, y1, z1, x1, y1, z1);
    edge(x0, y0, z1, x1, y0, z1);
    edge(x0, y0, z0, x0, y1, z0);
    edge(x1, y0, z0, x1, y1, z0);
    edge(x0, y0, z1, x0, y1, z1);
    edge(x1, y0, z1, x1, y1, z1);
    edge(x0, y0, z0, x0, y0, z1);
    edge(x1, y0, z0, x1, y0, z1);
    edge(x0, y1, z0, x0, y1, z1);
    edge(x1, y1, z0, x1, y1, z1);
}
