#include "interaction/tools/PlaneTools.h"

#include <cmath>

#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/ChordKeys.h"

namespace {

constexpr double kShortestDirection = 1e-10;
constexpr float kStep = 3.0f;

// v scaled to unit length, or the zero vector when v has no direction.
Vector3 unit_or_zero(const Vector3& v) {
    const double length = v.length();
    if (!(length >= kShortestDirection) || !std::isfinite(length)) return Vector3();
    Vector3 unit = v;
    unit.normalise();
    return unit;
}

// v with its component on `axis` removed, at unit length; +x when nothing
// is left.
Vector3 flatten(Vector3 v, int axis) {
    v[axis] = 0.0f;
    v.normalise();
    const double length = v.length();
    if (!(length >= kShortestDirection)) return Vector3(1.0f, 0.0f, 0.0f);
    return v;
}

}  // namespace

PlaneMoveTool::PlaneMoveTool(ToolContext& owner, Plane plane) : Tool(owner), plane_(plane) {
    const View& view = owner.view();
    const Vector3 across = plane == Plane::Facing   ? view.forward_vector()
                           : plane == Plane::Ground ? view.up_vector()
                                                    : view.right_vector();
    double sign = 1.0;
    const int axis = dominant_axis(across, sign);
    a_ = flatten(view.right_vector(), axis);
    Vector3 t;
    t[axis] = static_cast<float>(sign);
    b_ = unit_or_zero(plane == Plane::Ground ? cross(a_, t) : cross(t, a_));
    if (plane == Plane::Side && sign < 0.0) b_ = -b_;
}

void PlaneMoveTool::update() {
    Tool::update();
    ToolContext& context = owner();
    Vector3 p = context.view().eye_position();
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) p += (a_ * h) * kStep;
    if (context.vertical_movement(v)) p -= (b_ * v) * kStep;
    context.view().move_eye_to(p);
}

void PlaneMoveTool::key(unsigned char key, bool pressed) {
    constexpr const char* kOwnKeys = "cd";
    switch (plane_) {
        case Plane::Facing:
            follow_chord(owner(), key, pressed,
                         {{'c', false, &make_tool<Tool>}, {'d', true, &make_tool<SidePlaneTool>}}, kOwnKeys);
            return;
        case Plane::Ground:
            follow_chord(owner(), key, pressed,
                         {{'d', false, &make_tool<Tool>}, {'c', true, &make_tool<SidePlaneTool>}}, kOwnKeys);
            return;
        case Plane::Side:
            follow_chord(owner(), key, pressed,
                         {{'c', false, &make_tool<GroundPlaneTool>}, {'d', false, &make_tool<FacingPlaneTool>}},
                         kOwnKeys);
            return;
    }
}
