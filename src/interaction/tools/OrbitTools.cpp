#include "interaction/tools/OrbitTools.h"

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "interaction/DefaultKey.h"
#include "interaction/View.h"
#include "interaction/tools/ChordKeys.h"
#include "interaction/tools/ToolRates.h"

namespace {
constexpr const char* kOwnKeys = "xs";
}

OrbitTool::OrbitTool(EditContext& owner, unsigned char own_key, const Vector3& axis_direction)
    : Tool(owner),
      own_key_(own_key),
      centre_(owner.view().far_point()),
      saved_twist_flag_(owner.query_bool(BoolCompensateForTwist)) {
    // Levelling the roll would fight the orbit.
    owner.set_bool(BoolCompensateForTwist, false);
    axis_ = dominant_axis(axis_direction, sign_);
}

void OrbitTool::update() {
    Tool::update();
    EditContext& context = owner();
    View& view = context.view();
    const float sign = static_cast<float>(sign_);
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) view.orbit_about_world_axis(centre_, axis_, sign, tool_rates::kOrbitYaw * h);
    if (context.vertical_movement(v)) view.orbit_pitch(centre_, axis_, sign, -(tool_rates::kOrbitPitch * v));
}

void OrbitTool::key(unsigned char key, bool pressed) {
    EditContext& context = owner();
    if (key == own_key_ && !pressed) {
        context.set_bool(BoolCompensateForTwist, saved_twist_flag_);
        change_tool(context, make_tool<Tool>(context));
        return;
    }
    if (is_own_key(key, kOwnKeys)) return;
    default_key(context, key, pressed);
}

OrbitUpTool::OrbitUpTool(EditContext& owner) : OrbitTool(owner, 'x', owner.view().up_vector()) {}

OrbitForwardTool::OrbitForwardTool(EditContext& owner) : OrbitTool(owner, 's', owner.view().forward_vector()) {}
