#pragma once

#include <cstdint>

#include "math/Vector3.h"

// The small drawing interface of the surface-vertex connectivity overlay:
// batches of line segments or points in a colour.
class OverlayDrawer {
public:
    static constexpr uint32_t kLines = 0;
    static constexpr uint32_t kPoints = 1;

    virtual ~OverlayDrawer() = default;

    // Starts a batch of segments (kLines) or points (kPoints); any other kind
    // starts nothing.
    virtual void begin(uint32_t kind) = 0;
    virtual void end() = 0;
    virtual void set_colour(const float rgba[4]) = 0;
    virtual void segment(const Vector3& a, const Vector3& b) = 0;
    virtual void set_point_size(float size) = 0;
    virtual void point(const Vector3& a) = 0;
};
