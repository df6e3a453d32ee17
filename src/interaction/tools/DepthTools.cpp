#include "interaction/tools/DepthTools.h"

#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/ChordKeys.h"

namespace {

constexpr const char* kOwnKeys = "az";
constexpr float kMinFocusDistance = 8.0f;
constexpr float kMaxFocusDistance = 128.0f;
constexpr float kMaxFarOffset = 128.0f;

// Below the range gives the lower bound, else above it the upper bound.
float clamp_to(float value, float lower, float upper) {
    if (value < lower) return lower;
    if (value > upper) return upper;
    return value;
}

// The update step all three tools share after the brush: a sideways slide,
// then the vertical amount, if any, handed to the tool's own depth change.
template <class DepthChange>
void slide_and_change_depth(ToolContext& context, DepthChange&& change_depth) {
    float h = 0.0f;
    if (context.horizontal_movement(h)) context.view().translate_x(-3.0f * h);
    float v = 0.0f;
    if (context.vertical_movement(v)) change_depth(context.view(), v);
}

}  // namespace

void FocusDepthTool::update() {
    Tool::update();
    slide_and_change_depth(owner(), [](View& view, float v) {
        const float wanted = static_cast<float>(double(view.focus_distance()) + double(v) * 4.0);
        view.set_focus_distance(clamp_to(wanted, kMinFocusDistance, kMaxFocusDistance));
    });
}

void FocusDepthTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed,
                 {{'z', false, &make_tool<Tool>}, {'a', true, &make_tool<FarAnchorTool>}}, kOwnKeys);
}

void FarDepthTool::update() {
    Tool::update();
    slide_and_change_depth(owner(), [](View& view, float v) {
        const float wanted = static_cast<float>(double(view.far_offset()) + double(v) * 4.0);
        view.set_far_offset(clamp_to(wanted, 0.0f, kMaxFarOffset));
    });
}

void FarDepthTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed,
                 {{'a', false, &make_tool<Tool>}, {'z', true, &make_tool<FarAnchorTool>}}, kOwnKeys);
}

void FarAnchorTool::update() {
    Tool::update();
    // The far point stays where it is: the eye moves by what the offset changed.
    slide_and_change_depth(owner(), [](View& view, float v) {
        const float old_offset = view.far_offset();
        const float wanted = static_cast<float>(double(v) * -4.0 + old_offset);
        const float offset = clamp_to(wanted, 0.0f, kMaxFarOffset);
        view.set_far_offset(offset);
        view.translate_z(static_cast<float>(-(double(offset) - old_offset)));
    });
}

void FarAnchorTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed,
                 {{'a', false, &make_tool<FocusDepthTool>}, {'z', false, &make_tool<FarDepthTool>}},
                 kOwnKeys);
}
