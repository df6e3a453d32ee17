#pragma once

#include "interaction/Tool.h"
#include "math/Vector3.h"

// The tools of the keys c and d move the eye within a world plane chosen
// when the tool is made: across the world axis nearest the view direction
// (c), across the one nearest up (d), or across the one nearest right (both
// held). The horizontal amount moves along a, the vertical one along -b.
class PlaneMoveTool : public Tool {
public:
    void update() override;
    void key(unsigned char key, bool pressed) override;

    const Vector3& horizontal_direction() const { return a_; }
    const Vector3& vertical_direction() const { return b_; }

protected:
    enum class Plane { Facing, Ground, Side };
    PlaneMoveTool(ToolContext& owner, Plane plane);

private:
    Plane plane_;
    Vector3 a_;
    Vector3 b_;
};

class FacingPlaneTool final : public PlaneMoveTool {
public:
    explicit FacingPlaneTool(ToolContext& owner) : PlaneMoveTool(owner, Plane::Facing) {}
    const char* name() const override { return "facing plane"; }
};

class GroundPlaneTool final : public PlaneMoveTool {
public:
    explicit GroundPlaneTool(ToolContext& owner) : PlaneMoveTool(owner, Plane::Ground) {}
    const char* name() const override { return "ground plane"; }
};

// When the view's right vector lies exactly along the world x axis this
// tool has no vertical direction: the vertical amount then does nothing.
class SidePlaneTool final : public PlaneMoveTool {
public:
    explicit SidePlaneTool(ToolContext& owner) : PlaneMoveTool(owner, Plane::Side) {}
    const char* name() const override { return "side plane"; }
};
