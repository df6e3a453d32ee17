#include "core/Actions.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "grid/World.h"
#include "interaction/MovementMode.h"
#include "interaction/Tool.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"
#include "persistence/GridFileText.h"
#include "persistence/SquareExport.h"

namespace {

// The largest display box side, in voxels: a frame's work grows with the
// box's volume.
constexpr std::int32_t kLargestBoxSide = 256;

// Both Save and Load use the save path. A path too long for the setting was
// cut when it was stored and names another file: it is refused as a file
// that cannot be opened, with `message`.
std::string grid_file_path(const EditContext& context, const char* message) {
    if (context.string_was_cut(StringSavePath)) throw Util_E26EF::Exception{0, message, nullptr, ENAMETOOLONG};
    return context.query_string(StringSavePath);
}

void save(EditContext& context) {
    const World& world = context.world();
    save_grid(world.grid(), world.boundary_flag(), grid_file_path(context, GridFileText::kCannotOpenForWriting));
}

// load_grid throws before anything is installed, and install_grid replaces
// the grid only once the new surface is built, so a failure leaves the world
// as it was.
void load(EditContext& context) {
    context.end_edit_step();
    LoadedGrid loaded = load_grid(grid_file_path(context, GridFileText::kCannotOpenForReading));
    install_grid(context.world(), std::move(loaded.grid), loaded.boundary_flag);
}

// A level count the grid cannot hold leaves the world as it is.
void new_grid(EditContext& context, bool solid) {
    const long levels = context.query_int(IntGridLevels);
    if (!VoxelGrid::supports_levels(levels)) return;
    context.end_edit_step();
    install_grid(context.world(), std::make_unique<VoxelGrid>(levels, solid), solid ? 1u : 0u);
}

void toggle_movement(EditContext& context) {
    const MovementMode& offset = pointer_offset_mode();
    context.set_movement_mode(&context.movement_mode() == &offset ? pointer_delta_mode() : offset);
}

// Each side is clamped to the largest box; the settings keep their values.
void update_display_box(EditContext& context) {
    const float z = static_cast<float>(std::min(context.query_int(IntDisplayBoxZ), kLargestBoxSide));
    const float y = static_cast<float>(std::min(context.query_int(IntDisplayBoxY), kLargestBoxSide));
    const float x = static_cast<float>(std::min(context.query_int(IntDisplayBoxX), kLargestBoxSide));
    context.view().set_box_size(Vector3(x, y, z));
}

void toggle_display_box_fixed(EditContext& context) {
    if (context.query_bool(BoolDisplayBoxStickOn)) {
        context.set_bool(BoolDisplayBoxStickOn, false);
        return;
    }
    context.record_fixed_centre();
    context.set_bool(BoolDisplayBoxStickOn, true);
}

void export_squares(EditContext& context) {
    const bool outside_solid = context.query_bool(BoolD_OutsideSolid);
    const float max_dim = context.query_float(FloatExportBoxMaxDim);
    const IntBox box = context.compute_display_box();
    export_display_box(context.world().grid(), box, max_dim, outside_solid);
}

// The focus voxel becomes the mirror centre; a focus outside the grid
// changes nothing.
void set_mirror_centre(EditContext& context) {
    const FocusVoxel focus = focus_voxel(context.view());
    const std::uint32_t side = context.world().grid().side();
    if (focus.x >= side || focus.y >= side || focus.z >= side) return;
    context.world().set_mirror_centre(VoxelPosition{focus.x, focus.y, focus.z});
}

}  // namespace

void do_action(EditContext& context, std::uint32_t action) {
    switch (action) {
        case ActionSave:
            save(context);
            return;
        case ActionLoad:
            load(context);
            return;
        case ActionNewSolidGrid:
            new_grid(context, true);
            return;
        case ActionNewClearGrid:
            new_grid(context, false);
            return;
        case ActionSnapVertsToVoxels:
            context.world().vertices().snap_to_voxels();
            return;
        case ActionToggleMovement:
            toggle_movement(context);
            return;
        case ActionChangeGridAffector:
            context.select_next_affector();
            return;
        case ActionUpdateDisplayBox:
            update_display_box(context);
            return;
        case ActionToggleDisplayBoxFixed:
            toggle_display_box_fixed(context);
            return;
        case ActionExportDisplayBoxAsSquares:
            export_squares(context);
            return;
        case ActionUndo:
            context.end_edit_step();
            context.world().undo();
            return;
        case ActionRedo:
            context.end_edit_step();
            context.world().redo();
            return;
        case ActionSetMirrorCentre:
            set_mirror_centre(context);
            return;
        default:
            return;
    }
}
