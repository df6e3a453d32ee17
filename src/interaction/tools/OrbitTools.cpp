#include "interaction/tools/OrbitTools.h"

#include "interaction/DefaultKey.h"
#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/ChordKeys.h"
#include "interaction/tools/ToolRates.h"

namespace {
constexpr const char* kOwnKeys = "xs";
}

OrbitTool::OrbitTool(ToolContext& owner, unsigned char own_key, const Vector3& axis_direction)
    : Tool(owner),
      own_key_(own_key),
      centre_(owner.view().far_point()),
      saved_twist_flag_(owner.twist_compensation()) {
    // Levelling the roll would fight the orbit.
    owner.set_twist_compensation(false);
    axis_ = dominant_axis(axis_direction, sign_);
}

void OrbitTool::update() {
    Tool::update();
    ToolContext& context = owner();
    View& view = context.view();
    const float sign = static_cast<float>(sign_);
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) view.orbit_about_world_axis(centre_, axis_, sign, tool_rates::kOrbitYaw * h);
    if (context.vertical_movement(v)) view.orbit_pitch(centre_, axis_, sign, -(tool_rates::kOrbitPitch * v));
}

void OrbitTool::key(unsigned char key, bool pressed) {
    ToolContext& context = owner();
    if (key == own_key_ && !pressed) {
        context.set_twist_compensation(saved_twist_flag_);
        change_tool(context, make_tool<Tool>(context));
        return;
    }
    if (is_own_key(key, kOwnKeys)) return;
    default_key(context, key, pressed);
}

OrbitUpTool::OrbitUpTool(ToolContext& owner) : OrbitTool(owner, 'x', owner.view().up_vector()) {}

OrbitForwardTool::OrbitForwardTool(ToolContext& owner) : OrbitTool(owner, 's', owner.view().forward_vector()) {}
