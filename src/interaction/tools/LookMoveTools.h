#pragma once

#include "interaction/Tool.h"

// The tools of the keys f and v. Held f turns the view (LookTool), held v
// flies it (MoveTool), both together roll it and move it up and down
// (RollTool). Releasing one key of the pair leaves the other key's tool.

// Yaw with the horizontal amount, pitch with the vertical one.
class LookTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "look"; }
};

// Sideways with the horizontal amount, forward and back with the vertical.
class MoveTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "move"; }
};

// Roll with the horizontal amount, up and down with the vertical.
class RollTool final : public Tool {
public:
    using Tool::Tool;
    void update() override;
    void key(unsigned char key, bool pressed) override;
    const char* name() const override { return "roll"; }
};
