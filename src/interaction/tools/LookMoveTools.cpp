#include "interaction/tools/LookMoveTools.h"

#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/ChordKeys.h"
#include "interaction/tools/ToolRates.h"

namespace {
constexpr const char* kOwnKeys = "fv";
}

void LookTool::update() {
    Tool::update();
    ToolContext& context = owner();
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) context.view().rotate_y(tool_rates::kYaw * h);
    if (context.vertical_movement(v)) context.view().rotate_x(-(tool_rates::kPitch * v));
}

void LookTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed, {{'f', false, &make_tool<Tool>}, {'v', true, &make_tool<RollTool>}},
                 kOwnKeys);
}

void MoveTool::update() {
    Tool::update();
    ToolContext& context = owner();
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) context.view().translate_x(-3.0f * h);
    if (context.vertical_movement(v)) context.view().translate_z(4.0f * v);
}

void MoveTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed, {{'v', false, &make_tool<Tool>}, {'f', true, &make_tool<RollTool>}},
                 kOwnKeys);
}

void RollTool::update() {
    Tool::update();
    ToolContext& context = owner();
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) context.view().rotate_z(tool_rates::kRoll * h);
    if (context.vertical_movement(v)) context.view().translate_y(-4.0f * v);
}

void RollTool::key(unsigned char key, bool pressed) {
    follow_chord(owner(), key, pressed,
                 {{'f', false, &make_tool<MoveTool>}, {'v', false, &make_tool<LookTool>}}, kOwnKeys);
}
