#pragma once

#include "render/OverlayDrawer.h"

// Draws the overlay with OpenGL immediate mode.
class GlOverlayDrawer final : public OverlayDrawer {
public:
    void begin(uint32_t kind) override;
    void end() override;
    void set_colour(const float rgba[4]) override;
    void segment(const Vector3& a, const Vector3& b) override;
    void set_point_size(float size) override;
    void point(const Vector3& a) override;
};
