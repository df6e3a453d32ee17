#pragma once

#include "interaction/Tool.h"

// The tools of the keys z and a. Each moves the eye sideways with the
// horizontal amount; the vertical amount moves a depth along the view ray:
// the focus point (z), the far point (a), or, with both keys held, the eye
// while the far point stays put.

// Focus distance between 8 and 128 units (and at most the far point).
class FocusDepthTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "focus depth"; }
};

// Far offset between 0 and 128 units beyond the focus.
class FarDepthTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "far depth"; }
};

// Changes the far offset and moves the eye by the same amount the other
// way, so the far point keeps its place.
class FarAnchorTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "far anchor"; }
};
