#include "interaction/tools/WorldMoveTool.h"

#include "interaction/DefaultKey.h"
#include "interaction/ToolContext.h"
#include "interaction/View.h"

void WorldMoveTool::update() {
    Tool::update();
    ToolContext& context = owner();
    View& view = context.view();
    float h = 0.0f;
    float v = 0.0f;
    if (context.horizontal_movement(h)) {
        Vector3 p = view.eye_position();
        p.x = static_cast<float>(double(p.x) - double(h) * 4.0);
        view.move_eye_to(p);
    }
    if (context.vertical_movement(v)) {
        Vector3 p = view.eye_position();
        p.z = static_cast<float>(double(p.z) - double(v) * 4.0);
        view.move_eye_to(p);
    }
}

void WorldMoveTool::key(unsigned char key, bool pressed) { default_key(owner(), key, pressed); }
