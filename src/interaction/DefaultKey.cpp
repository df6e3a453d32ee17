#include "interaction/DefaultKey.h"

#include <iostream>

#include "grid/World.h"
#include "interaction/Tool.h"
#include "interaction/ToolContext.h"
#include "interaction/View.h"
#include "interaction/tools/WorldMoveTool.h"

namespace {

// Clears the voxel under the focus directly in the grid: no settling, no
// cascade and no surface update. Nothing happens outside the grid. The clear
// is one undo step of its own.
void clear_focus_voxel(ToolContext& context) {
    const FocusVoxel voxel = focus_voxel(context.view());
    VoxelGrid& grid = context.world().grid();
    const std::uint32_t side = grid.side();
    if (voxel.x >= side || voxel.y >= side || voxel.z >= side) return;
    context.end_edit_step();
    grid.clear_voxel(voxel.x, voxel.y, voxel.z);
    context.end_edit_step();
}

// The first press records the fixed centre and disarms; the next re-arms.
void capture_fixed_centre(ToolContext& context) {
    if (context.capture_armed() != 0) {
        context.record_fixed_centre();
        context.set_capture_armed(0);
    } else {
        context.set_capture_armed(1);
    }
}

}  // namespace

void default_key(ToolContext& context, unsigned char key, bool pressed) {
    std::cout << "default_key called." << std::endl;
    if (!pressed) return;
    switch (key) {
        case ' ':
            clear_focus_voxel(context);
            return;
        case 'a':
            context.change_tool(make_tool<WorldMoveTool>(context));
            return;
        case 'b':
            capture_fixed_centre(context);
            return;
        case 's':
            context.set_solid();
            return;
        case 'w':
            context.set_wireframe();
            return;
        default:
            return;
    }
}
