#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "core/edit_context_test_support.h"
#include "grid/GridAffector.h"
#include "grid/World.h"
#include "interaction/MovementMode.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"

namespace {

std::string temp_path(const char* name) { return testing::TempDir() + "holloform_actions_" + name; }

// A clear grid with one 2 x 2 x 2 cube at (20, 30, 40), so that the surface has vertices.
void make_sculpted_world(EditContext& context) {
    context.do_action(ActionNewClearGrid);
    World& world = context.world();
    world.add_and_settle([&] {
        for (std::uint32_t i = 0; i < 8; ++i) world.add_voxel(20 + (i & 1), 30 + ((i >> 1) & 1), 40 + (i >> 2));
    });
    ASSERT_EQ(world.vertices().size(), 8u);
}

// The message of the file error an action fails with, after the save path is set.
std::string failure(EditContext& context, std::uint32_t action, const std::string& path) {
    context.set_string(StringSavePath, path.c_str());
    std::string result = "no failure";
    testing::internal::CaptureStderr();
    try {
        context.do_action(action);
    } catch (const Util_E26EF::Exception& error) {
        result = std::string(error.message) + (error.error_number == ENAMETOOLONG ? " (name too long)" : "");
    }
    testing::internal::GetCapturedStderr();
    return result;
}

// Both go through the save path. A failure leaves the world as it was, and a
// path longer than the setting holds, cut when stored, names another file
// that neither touches. A snap then puts every vertex back on its voxel.
TEST(Actions, SaveAndLoadRoundTripThroughTheSavePathAndFailuresChangeNothing) {
    const std::string path = temp_path("round_trip.hf");
    EditContext context;
    make_sculpted_world(context);
    EXPECT_EQ(failure(context, ActionSave, path), "no failure");
    EXPECT_EQ(load_grid(path).boundary_flag, 0u);  // a clear grid is saved with flag 0
    context.set_int(IntGridLevels, 2);
    context.do_action(ActionNewSolidGrid);
    context.do_action(ActionLoad);
    const World& world = context.world();
    EXPECT_EQ(world.grid().levels(), 3u);
    EXPECT_EQ(world.boundary_flag(), 0u);
    EXPECT_TRUE(world.grid().get_voxel(21, 31, 41));
    EXPECT_EQ(world.vertices().size(), 8u);  // the surface is rebuilt for the loaded grid
    std::remove(path.c_str());

    const VoxelGrid* grid = &world.grid();
    const SurfaceVertexSet* vertices = &world.vertices();
    const std::string other = temp_path("") + std::string(127 - temp_path("").size(), 'c');
    std::ofstream{other};
    EXPECT_EQ(failure(context, ActionSave, other + "-too-long.hf"), "Unable to open file for writing. (name too long)");
    EXPECT_EQ(failure(context, ActionLoad, other + "-too-long.hf"), "Unable to open named file. (name too long)");
    EXPECT_EQ(context.query_string(StringSavePath), other);  // the cut string stays queryable
    EXPECT_EQ(std::ifstream(other, std::ios::ate).tellg(), 0);
    EXPECT_TRUE(&world.grid() == grid && &world.vertices() == vertices && vertices->size() == 8u);
    EXPECT_TRUE(grid->get_voxel(20, 30, 40));
    std::remove(other.c_str());

    SurfaceVertex* vertex = context.world().vertices().find(context.world().vertices().make_key(21, 31, 41));
    ASSERT_NE(vertex, nullptr);
    vertex->position[0] = Vector3(25.0f, 25.0f, 25.0f);
    vertex->velocity[1] = Vector3(1.0f, 2.0f, 3.0f);
    context.do_action(ActionSnapVertsToVoxels);
    EXPECT_EQ(vertex->position[0], Vector3(21.0f, 31.0f, 41.0f));
    EXPECT_EQ(vertex->velocity[1], Vector3());
}

// Numbers out of range come first: the actions after them see the start state.
// New grids take the level setting, within 2 to 8.
TEST(Actions, GridModeBrushAndDisplayBoxActionsAndNumbersOutOfRange) {
    EditContext context;
    const VoxelGrid* grid = &context.world().grid();
    for (std::uint32_t action : {13u, 14u, 4294967295u}) context.do_action(action);
    EXPECT_EQ(&context.world().grid(), grid);
    EXPECT_FALSE(context.query_bool(BoolDisplayBoxStickOn));
    context.set_int(IntGridLevels, 2);
    context.do_action(ActionNewSolidGrid);
    EXPECT_EQ(context.max_voxel_index(), 63u);
    EXPECT_EQ(context.world().boundary_flag(), 1u);
    grid = &context.world().grid();
    for (std::int32_t levels : {1, 9, -4}) {
        context.set_int(IntGridLevels, levels);
        context.do_action(ActionNewClearGrid);
        context.do_action(ActionNewSolidGrid);
        EXPECT_EQ(&context.world().grid(), grid) << levels;
    }
    context.do_action(ActionToggleMovement);
    EXPECT_EQ(&context.movement_mode(), &pointer_delta_mode());
    context.do_action(ActionToggleMovement);
    EXPECT_EQ(&context.movement_mode(), &pointer_offset_mode());

    for (int i = 0; i < 10; ++i) context.do_action(ActionChangeGridAffector);  // eight brushes round
    EXPECT_EQ(context.current_affector_index(), 2u);
    EXPECT_STREQ(context.current_affector_name(), grid_affector_name(2));

    // Each side is clamped to 256 voxels; the setting keeps what was set.
    context.set_int(IntDisplayBoxX, 10);
    context.set_int(IntDisplayBoxY, 2147483647);
    context.set_int(IntDisplayBoxZ, 257);
    context.do_action(ActionUpdateDisplayBox);
    EXPECT_EQ(context.view().box_size(), Vector3(10.0f, 256.0f, 256.0f));
    EXPECT_EQ(context.query_int(IntDisplayBoxY), 2147483647);
}

// Frames between the remove button's press and release make one undo step,
// mirrored across x about the focus voxel chosen as the centre. (Undo and redo
// of it: the editor's tests, through the module.)
TEST(Actions, StrokeIsOneUndoStepMirroredAboutTheFocus) {
    EditContext context;
    context.set_int(IntGridLevels, 2);
    context.do_action(ActionNewSolidGrid);
    const World& world = context.world();
    place_focus(context.view(), Vector3(30.5f, 25.5f, 64.5f));
    context.do_action(ActionSetMirrorCentre);
    EXPECT_EQ(world.mirror().twice_centre[2], 64u) << "a focus outside the grid sets no centre";
    place_focus(context.view(), Vector3(30.5f, 25.5f, 25.5f));
    context.do_action(ActionSetMirrorCentre);
    context.set_bool(BoolMirrorX, true);
    for (int i = 0; i < 4; ++i) context.do_action(ActionChangeGridAffector);  // the row along x
    context.button(2, false);
    for (float x : {10.5f, 11.5f}) {
        place_focus(context.view(), Vector3(x, 20.5f, 20.5f));
        context.current_tool().update();
    }
    EXPECT_EQ(world.undo_count(), 1u);  // the stroke is still open
    context.button(2, true);
    ASSERT_EQ(world.undo_count(), 2u);
    for (std::uint32_t x = 8; x < 53; ++x) {
        const bool cleared = (x >= 10 && x <= 14) || (x >= 46 && x <= 50);  // 30 + 30 - x
        EXPECT_EQ(world.grid().get_voxel(x, 20, 20), !cleared) << x;
    }
}

TEST(Actions, ToggleDisplayBoxFixedCapturesAndReleases) {
    EditContext context;
    place_focus(context.view(), Vector3(-40.0f, 100.7f, 9000.0f));
    context.do_action(ActionToggleDisplayBoxFixed);
    EXPECT_TRUE(context.query_bool(BoolDisplayBoxStickOn));
    const IntBox fixed{0, 92, 480, 32, 108, 511};  // about the focus clamped into the grid: (0, 100, 512)
    EXPECT_EQ(context.compute_display_box(), fixed);
    place_focus(context.view(), Vector3(300.5f, 300.5f, 300.5f));
    EXPECT_EQ(context.compute_display_box(), fixed);  // the box no longer follows the camera
    context.do_action(ActionToggleDisplayBoxFixed);
    EXPECT_EQ(context.compute_display_box().x0, 284u);
    context.set_bool(BoolDisplayBoxStickOn, true);  // the recorded centre is kept
    EXPECT_EQ(context.compute_display_box(), fixed);
}

}  // namespace
