#pragma once

#include "math/PrimitiveDrawer.h"

// Draws with OpenGL 1.1: lines in immediate mode, triangles from client-side
// arrays. Needs a current OpenGL context; holds no state.
class GlPrimitiveDrawer : public PrimitiveDrawer {
public:
    void draw_box_outline(const Vector3& lower, const Vector3& upper) override;
    void draw_line(const Vector3& a, const Vector3& b) override;
    void draw_triangles(const float* positions, const float* normals, const uint32_t* indices,
                        uint32_t index_count) override;
};
