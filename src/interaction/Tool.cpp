#include "interaction/Tool.h"

#include <iostream>

#include "grid/GridAffector.h"
#include "grid/World.h"
#include "interaction/DefaultKey.h"
#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/DepthTools.h"
#include "interaction/tools/LookMoveTools.h"
#include "interaction/tools/OrbitTools.h"
#include "interaction/tools/PlaneTools.h"

namespace {

// The keys with which the default tool selects the camera tools.
struct ToolSelection {
    unsigned char key;
    std::unique_ptr<Tool> (*make)(ToolContext&);
};

constexpr ToolSelection kToolSelection[] = {
    {'a', &make_tool<FarDepthTool>},
    {'c', &make_tool<FacingPlaneTool>},
    {'d', &make_tool<GroundPlaneTool>},
    {'f', &make_tool<LookTool>},
    {'s', &make_tool<OrbitForwardTool>},
    {'v', &make_tool<MoveTool>},
    {'x', &make_tool<OrbitUpTool>},
    {'z', &make_tool<FocusDepthTool>},
};

const ToolSelection* find_selection(unsigned char key) {
    for (const ToolSelection& selection : kToolSelection) {
        if (selection.key == key) return &selection;
    }
    return nullptr;
}

std::uint32_t truncate_coordinate(float value) {
    // The range of a 32-bit signed integer; anything else, not-a-number
    // included, maps to a position outside every grid.
    if (!(value > -2147483649.0f && value < 2147483648.0f)) return 0x80000000u;
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

}  // namespace

FocusVoxel focus_voxel(const View& view) {
    const Vector3 focus = view.focus_point();
    return FocusVoxel{truncate_coordinate(focus.x), truncate_coordinate(focus.y), truncate_coordinate(focus.z)};
}

void Tool::motion(int, int) {}

void Tool::button(int, int) {}

// The left button alone adds the brush's shape at the focus, the right
// button alone removes it; both or neither do nothing.
void Tool::update() {
    ToolContext& context = owner();
    const bool adding = context.button_pressed(0) && !context.button_pressed(2);
    const bool removing = !context.button_pressed(0) && context.button_pressed(2);
    if (!adding && !removing) return;
    const FocusVoxel focus = focus_voxel(context.view());
    const VoxelPosition position{focus.x, focus.y, focus.z};
    const std::array<bool, 3> mirror = context.mirror_axes();
    context.world().set_mirror_axes(mirror[0], mirror[1], mirror[2]);
    if (adding) {
        context.current_affector().add_shape(context.world(), position);
    } else {
        context.current_affector().remove_shape(context.world(), position);
    }
}

void Tool::key(unsigned char key, bool pressed) {
    const ToolSelection* selection = find_selection(key);
    if (selection == nullptr) {
        default_key(owner(), key, pressed);
        return;
    }
    if (pressed) change_tool(owner(), selection->make(owner()));
}

void Tool::change_tool(ToolContext& context, std::unique_ptr<Tool> new_tool) {
    std::cout << "Tool::change_tool called" << std::endl;
    context.change_tool(std::move(new_tool));
}
