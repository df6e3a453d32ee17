#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>

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

constexpr double kTolerance = 2e-4;

// Turns the view by a random amount about each of its axes.
void turn_randomly(View& view, std::mt19937& random) {
    std::uniform_real_distribution<float> angle(-3.1f, 3.1f);
    view.rotate_x(angle(random));
    view.rotate_y(angle(random));
    view.rotate_z(angle(random));
}

struct TwoAxisCase {
    const char* name;
    void (*use)(ToolDriver&);
    // What the tool should do to the view for movement amounts h and v.
    std::function<void(View&, float h, float v)> expected;
};

TEST(CameraTools, EachTwoAxisToolMovesTheViewByItsRates) {
    using namespace tool_rates;
    const TwoAxisCase cases[] = {
        {"look", [](ToolDriver& d) { d.use<LookTool>(); },
         [](View& w, float h, float v) { w.rotate_y(kYaw * h); w.rotate_x(-(kPitch * v)); }},
        {"move", [](ToolDriver& d) { d.use<MoveTool>(); },
         [](View& w, float h, float v) { w.translate_x(-3.0f * h); w.translate_z(4.0f * v); }},
        {"roll", [](ToolDriver& d) { d.use<RollTool>(); },
         [](View& w, float h, float v) { w.rotate_z(kRoll * h); w.translate_y(-4.0f * v); }},
        {"world move", [](ToolDriver& d) { d.use<WorldMoveTool>(); },
         [](View& w, float h, float v) {
             Vector3 p = w.eye_position();
             p.x -= h * 4.0f;
             p.z -= v * 4.0f;
             w.move_eye_to(p);
         }},
    };
    std::mt19937 random(11);
    std::uniform_int_distribution<int> travel(-40, 40);
    for (const TwoAxisCase& c : cases) {
        EditContext context;
        ToolDriver driver(context);
        turn_randomly(context.view(), random);
        c.use(driver);
        for (int frame = 0; frame < 20; ++frame) {
            const int dx = frame % 5 == 0 ? 0 : travel(random);
            const int dy = frame % 7 == 0 ? 0 : travel(random);
            View expected = context.view();
            c.expected(expected, dx / 15.0f, dy / 15.0f);
            driver.frame(dx, dy);
            expect_near(context.view().matrix(), expected.matrix(), kTolerance);
            ASSERT_FALSE(testing::Test::HasFailure()) << c.name << " frame " << frame;
        }
    }
}

TEST(CameraTools, FocusDepthStaysBetweenEightAndTheFarPoint) {
    EditContext context;
    ToolDriver driver(context);
    driver.use<FocusDepthTool>();
    driver.frame(0, 150);  // would push the focus 40 units further
    EXPECT_FLOAT_EQ(context.view().focus_distance(), 9.0f);
    driver.frame(0, -300);
    EXPECT_FLOAT_EQ(context.view().focus_distance(), 8.0f);
    EXPECT_FLOAT_EQ(context.view().far_offset(), 1.0f);

    context.view().set_far_offset(200.0f);
    driver.frame(0, 3000);
    EXPECT_FLOAT_EQ(context.view().focus_distance(), 128.0f);
    EXPECT_FLOAT_EQ(context.view().far_offset(), 80.0f);
}

TEST(CameraTools, FarDepthAndFarAnchorKeepTheirLimits) {
    EditContext context;
    ToolDriver driver(context);
    driver.use<FarDepthTool>();
    driver.frame(0, 75);
    EXPECT_FLOAT_EQ(context.view().far_offset(), 20.0f);
    driver.frame(0, 3000);
    EXPECT_FLOAT_EQ(context.view().far_offset(), 128.0f);

    // The far anchor keeps the far point where it is, clamped or not; the
    // eye moves by the change the clamp allows.
    driver.use<FarAnchorTool>();
    std::mt19937 random(5);
    turn_randomly(context.view(), random);
    const int travels[] = {30, -15, 3000, -3000, 45};
    for (int dy : travels) {
        const Vector3 far_before = context.view().far_point();
        const Vector3 eye_before = context.view().eye_position();
        const float offset_before = context.view().far_offset();
        driver.frame(0, dy);
        expect_near(context.view().far_point(), far_before, 1e-3);
        const float change = context.view().far_offset() - offset_before;
        EXPECT_NEAR((context.view().eye_position() - eye_before).length(), std::fabs(change), 1e-3) << dy;
        EXPECT_GE(context.view().far_offset(), 0.0f);
        EXPECT_LE(context.view().far_offset(), 128.0f);
    }
}

// A plane tool keeps the eye's coordinate on the world axis nearest the
// view direction (c), up (d) or right (both).
TEST(CameraTools, PlaneToolsMoveWithinTheirWorldPlane) {
    std::mt19937 random(3);
    for (int trial = 0; trial < 60; ++trial) {
        EditContext context;
        ToolDriver driver(context);
        turn_randomly(context.view(), random);
        const View& view = context.view();
        double sign = 0.0;
        const int kind = trial % 3;
        const int axis = dominant_axis(kind == 0 ? view.forward_vector() : kind == 1 ? view.up_vector()
                                                                                      : view.right_vector(),
                                       sign);
        kind == 0 ? driver.use<FacingPlaneTool>() : kind == 1 ? driver.use<GroundPlaneTool>()
                                                              : driver.use<SidePlaneTool>();
        const View still = context.view();
        driver.frame(0, 0);
        expect_near(view.matrix(), still.matrix(), 1e-4);  // the eye goes through floats

        const Vector3 eye = view.eye_position();
        driver.frame(25, -35);
        EXPECT_NEAR(view.eye_position()[axis], eye[axis], 1e-3) << trial;
        EXPECT_NEAR((view.eye_position() - eye).length(), std::sqrt(25.0 + 49.0), 1e-3) << trial;
    }
}

TEST(CameraTools, SidePlaneAlongXHasNoVerticalDirection) {
    EditContext context;
    ToolDriver driver(context);
    context.view().set_matrix(Matrix4::translation(-100.0, -100.0, -100.0));  // right vector is +x
    driver.use<SidePlaneTool>();
    driver.frame(15, 30);
    expect_near(context.view().eye_position(), Vector3(103.0f, 100.0f, 100.0f), 1e-3);
}

// The tool applies the brush at the focus before moving, while the right
// (or left) button alone is held.
template <class T>
void expect_brush_applied_first() {
    EditContext context;
    ToolDriver driver(context);
    const VoxelGrid& grid = context.world().grid();
    place_focus(context.view(), Vector3(100.5f, 100.5f, 100.5f));
    driver.use<T>();
    const std::string name = context.current_tool().name();
    context.button(2, false);
    driver.frame(30, 30);
    EXPECT_FALSE(grid.get_voxel(100, 100, 100)) << name;
    EXPECT_FALSE(grid.get_voxel(101, 101, 101)) << name;  // the 2 x 2 x 2 cube
    place_focus(context.view(), Vector3(100.5f, 100.5f, 100.5f));
    context.button(2, true);
    context.button(0, false);  // the left button alone fills the hole again
    driver.frame(0, 0);
    EXPECT_TRUE(grid.get_voxel(101, 101, 101)) << name;

    place_focus(context.view(), Vector3(200.5f, 200.5f, 200.5f));
    context.button(2, false);  // both held: nothing
    driver.frame(0, 0);
    EXPECT_TRUE(grid.get_voxel(200, 200, 200)) << name;
    context.button(0, true);
    context.button(2, true);
    context.button(1, false);  // the middle button alone: nothing
    driver.frame(0, 0);
    EXPECT_TRUE(grid.get_voxel(200, 200, 200)) << name;
}

template <class... Tools>
void expect_each_applies_the_brush_first() {
    (expect_brush_applied_first<Tools>(), ...);
}

TEST(CameraTools, EveryToolAppliesTheBrushFirst) {
    expect_each_applies_the_brush_first<Tool, LookTool, MoveTool, RollTool, FacingPlaneTool, GroundPlaneTool,
                                        SidePlaneTool, OrbitUpTool, OrbitForwardTool, FocusDepthTool,
                                        FarDepthTool, FarAnchorTool, WorldMoveTool>();
}

}  // namespace
