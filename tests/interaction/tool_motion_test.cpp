#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "grid/World.h"
#include "interaction/GeometryExpect.h"
#include "interaction/tool_test_support.h"
#include "interaction/tools/DepthTools.h"
#include "interaction/tools/LookMoveTools.h"
#include "interaction/tools/OrbitTools.h"
#include "interaction/tools/PlaneTools.h"
#include "interaction/tools/ToolRates.h"
#include "interaction/tools/WorldMoveTool.h"

namespace {

// Turns the view by a random amount about each of its axes.
void turn_randomly(View& view, std::mt19937& random) {
    std::uniform_real_distribution<float> angle(-3.1f, 3.1f);
    view.rotate_x(angle(random));
    view.rotate_y(angle(random));
    view.rotate_z(angle(random));
}

template <class T>
void use(ToolDriver& driver) {
    driver.use<T>();
}

TEST(CameraTools, EachTwoAxisToolMovesTheViewByItsRates) {
    using namespace tool_rates;
    // Each tool and what it should do to the view for movement amounts h and v.
    const std::pair<void (*)(ToolDriver&), void (*)(View&, float, float)> cases[] = {
        {use<LookTool>, [](View& w, float h, float v) { w.rotate_y(kYaw * h), w.rotate_x(-(kPitch * v)); }},
        {use<MoveTool>, [](View& w, float h, float v) { w.translate_x(-3.0f * h), w.translate_z(4.0f * v); }},
        {use<RollTool>, [](View& w, float h, float v) { w.rotate_z(kRoll * h), w.translate_y(-4.0f * v); }},
        {use<WorldMoveTool>,
         [](View& w, float h, float v) { w.move_eye_to(w.eye_position() - Vector3(h * 4.0f, 0.0f, v * 4.0f)); }},
    };
    std::mt19937 random(11);
    std::uniform_int_distribution<int> travel(-40, 40);
    for (const auto& [tool, expected_motion] : cases) {
        EditContext context;
        ToolDriver driver(context);
        turn_randomly(context.view(), random);
        tool(driver);
        for (int frame = 0; frame < 20; ++frame) {
            const int dx = frame % 5 == 0 ? 0 : travel(random), dy = frame % 7 == 0 ? 0 : travel(random);
            View expected = context.view();
            expected_motion(expected, dx / 15.0f, dy / 15.0f);
            driver.frame(dx, dy);
            expect_near(context.view().matrix(), expected.matrix(), 2e-4);
            ASSERT_FALSE(testing::Test::HasFailure()) << context.current_tool().name() << " frame " << frame;
        }
    }
}

// The focus stays between 8 and the far point, the far offset within 128.
TEST(CameraTools, DepthToolsKeepTheirLimits) {
    EditContext context;
    ToolDriver driver(context);
    View& view = context.view();
    driver.use<FocusDepthTool>();
    const int focus_travel[] = {150, -300, 3000};  // 150 would push the focus 40 units further
    const float focus_after[][2] = {{9.0f, 0.0f}, {8.0f, 1.0f}, {128.0f, 80.0f}};
    for (int i = 0; i < 3; ++i) {
        if (i == 2) view.set_far_offset(200.0f);
        driver.frame(0, focus_travel[i]);
        EXPECT_FLOAT_EQ(view.focus_distance(), focus_after[i][0]) << i;
        EXPECT_FLOAT_EQ(view.focus_distance() + view.far_offset(), focus_after[i][0] + focus_after[i][1]) << i;
    }
    driver.use<FarDepthTool>();
    view.set_far_offset(0.0f);
    driver.frame(0, 75);
    EXPECT_FLOAT_EQ(view.far_offset(), 20.0f);
    driver.frame(0, 3000);
    EXPECT_FLOAT_EQ(view.far_offset(), 128.0f);

    // The far anchor keeps the far point where it is, clamped or not; the
    // eye moves by the change the clamp allows.
    driver.use<FarAnchorTool>();
    std::mt19937 random(5);
    turn_randomly(view, random);
    for (int dy : {30, -15, 3000, -3000, 45}) {
        const Vector3 far_before = view.far_point(), eye_before = view.eye_position();
        const float offset_before = view.far_offset();
        driver.frame(0, dy);
        expect_near(view.far_point(), far_before, 1e-3);
        const float change = view.far_offset() - offset_before;
        EXPECT_NEAR((view.eye_position() - eye_before).length(), std::fabs(change), 1e-3) << dy;
        EXPECT_TRUE(view.far_offset() >= 0.0f && view.far_offset() <= 128.0f) << dy;
    }
}

// A plane tool keeps the eye's coordinate on the world axis nearest the
// view direction (c), up (d) or right (both).
TEST(CameraTools, PlaneToolsMoveWithinTheirWorldPlane) {
    std::mt19937 random(3);
    void (*const tools[])(ToolDriver&) = {use<FacingPlaneTool>, use<GroundPlaneTool>, use<SidePlaneTool>};
    for (int trial = 0; trial < 60; ++trial) {
        EditContext context;
        ToolDriver driver(context);
        const View& view = context.view();
        turn_randomly(context.view(), random);
        const int kind = trial % 3;
        double sign = 0.0;
        const int axis = dominant_axis(
            kind == 0 ? view.forward_vector() : kind == 1 ? view.up_vector() : view.right_vector(), sign);
        tools[kind](driver);
        const View still = view;
        driver.frame(0, 0);
        expect_near(view.matrix(), still.matrix(), 1e-4);  // the eye goes through floats
        const Vector3 eye = view.eye_position();
        driver.frame(25, -35);
        EXPECT_NEAR(view.eye_position()[axis], eye[axis], 1e-3) << trial;
        EXPECT_NEAR((view.eye_position() - eye).length(), std::sqrt(25.0 + 49.0), 1e-3) << trial;
    }
    // Along x the side plane has no vertical direction.
    EditContext context;
    ToolDriver driver(context);
    context.view().set_matrix(Matrix4::translation(-100.0, -100.0, -100.0));  // right vector is +x
    driver.use<SidePlaneTool>();
    driver.frame(15, 30);
    expect_near(context.view().eye_position(), Vector3(103.0f, 100.0f, 100.0f), 1e-3);
}

// Every tool applies the brush at the focus before moving, while the right
// (or left) button alone is held.
TEST(CameraTools, EveryToolAppliesTheBrushFirst) {
    for (auto tool : {use<Tool>, use<LookTool>, use<MoveTool>, use<RollTool>, use<FacingPlaneTool>,
                      use<GroundPlaneTool>, use<SidePlaneTool>, use<OrbitUpTool>, use<OrbitForwardTool>,
                      use<FocusDepthTool>, use<FarDepthTool>, use<FarAnchorTool>, use<WorldMoveTool>}) {
        EditContext context;
        ToolDriver driver(context);
        const VoxelGrid& grid = context.world().grid();
        tool(driver);
        const std::string name = context.current_tool().name();
        // (pressed buttons, focus) per frame, and the voxel (n, n, n) after it
        const struct { std::vector<int> held; float focus; bool solid; } frames[] = {
            {{2}, 100.5f, false}, {{0}, 100.5f, true}, {{0, 2}, 200.5f, true}, {{1}, 200.5f, true}};
        for (const auto& frame : frames) {
            for (int button = 0; button < 3; ++button)
                context.button(button, std::find(frame.held.begin(), frame.held.end(), button) == frame.held.end());
            place_focus(context.view(), Vector3(frame.focus, frame.focus, frame.focus));
            driver.frame(30, 30);
            const uint32_t n = uint32_t(frame.focus) + 1;  // inside the 2 x 2 x 2 cube
            EXPECT_EQ(grid.get_voxel(n, n, n), frame.solid) << name << " focus " << frame.focus;
        }
    }
}

}  // namespace
