// The tools: the keys that pick them, what each does to the view, and the
// brush each applies first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "core/edit_context_test_support.h"
#include "grid/World.h"
#include "interaction/GeometryExpect.h"
#include "interaction/MovementMode.h"
#include "interaction/tools/DepthTools.h"
#include "interaction/tools/LookMoveTools.h"
#include "interaction/tools/OrbitTools.h"
#include "interaction/tools/PlaneTools.h"
#include "interaction/tools/ToolRates.h"
#include "interaction/tools/WorldMoveTool.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// Runs frames of the current tool without drawing. Every frame lasts 0.1 s
// and uses the pointer-delta mode with a scaling that makes the movement
// amounts the pointer's travel over 15 pixels.
class ToolDriver {
public:
    explicit ToolDriver(EditContext& context) : context_(context) {
        context.set_movement_mode(pointer_delta_mode());
        context.set_float(FloatMovementScaling, 0.5f);
    }

    // One frame in which the pointer travelled (dx, dy) pixels.
    void frame(int dx, int dy) {
        context_.motion(context_.pointer().x + dx, context_.pointer().y + dy);
        context_.begin_frame();
        context_.current_tool().update();
        context_.end_frame();
        clock_.advance(100.0);
    }

    // A key event; returns the status lines it printed.
    std::string key(unsigned char key, bool pressed) {
        CaptureStdout();
        context_.key(key, pressed);
        return GetCapturedStdout();
    }

private:
    EditContext& context_;
    ManualClock clock_{0.0};
};

// Replaces the current tool without the status lines.
template <class T>
void use(EditContext& context) {
    CaptureStdout();
    Tool::change_tool(context, make_tool<T>(context));
    GetCapturedStdout();
}

// Turns the view by a random amount about each of its axes.
void turn_randomly(View& view, std::mt19937& random) {
    std::uniform_real_distribution<float> angle(-3.1f, 3.1f);
    view.rotate_x(angle(random));
    view.rotate_y(angle(random));
    view.rotate_z(angle(random));
}

// Every call is announced; presses of space, b, s, w and a act.
TEST(DefaultKey, AnnouncesEveryCallAndActsOnPresses) {
    EditContext context;
    ToolDriver driver(context);
    const VoxelGrid& grid = context.world().grid();
    const auto key_at = [&](unsigned char key, bool pressed, const Vector3& focus) {
        place_focus(context.view(), focus);
        return driver.key(key, pressed);
    };
    EXPECT_EQ(key_at(' ', false, Vector3(20.5f, 20.5f, 20.5f)), "default_key called.\n");
    EXPECT_TRUE(grid.get_voxel(20, 20, 20));
    EXPECT_EQ(driver.key('q', true), "default_key called.\n");
    EXPECT_EQ(driver.key('w', true), "default_key called.\nSetting display mode to wireframe.\n");
    EXPECT_FALSE(context.query_bool(BoolWireGrid));

    // Space clears the focus voxel directly: no cascade, no surface upkeep,
    // nothing outside the grid.
    key_at(' ', true, Vector3(-0.5f, 3.2f, 7.9f));
    EXPECT_FALSE(grid.get_voxel(0, 3, 7));
    EXPECT_TRUE(grid.get_voxel(1, 3, 7));
    EXPECT_TRUE(context.world().vertices().empty());
    key_at(' ', true, Vector3(-1.5f, 3.0f, 3.0f));
    key_at(' ', true, Vector3(3.5f, 512.5f, 3.5f));
    EXPECT_TRUE(grid.get_voxel(511, 3, 3) && grid.get_voxel(0, 3, 3) && grid.get_voxel(3, 0, 3));

    // b captures the focus as the fixed centre, then re-arms.
    key_at('b', true, Vector3(40.5f, 50.5f, 60.5f));
    EXPECT_EQ(context.capture_armed(), 0);
    EXPECT_TRUE(context.fixed_centre().x == 40 && context.fixed_centre().y == 50 && context.fixed_centre().z == 60);
    key_at('b', true, Vector3(100.5f, 100.5f, 100.5f));
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_EQ(context.fixed_centre().x, 40u);
    driver.key('b', false);
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_FALSE(context.query_bool(BoolDisplayBoxStickOn));
    driver.key('b', true);
    EXPECT_EQ(context.fixed_centre().x, 100u);

    use<LookTool>(context);  // the look tool passes s on; the default tool would pick a tool with it
    EXPECT_EQ(driver.key('s', true), "default_key called.\nSetting display mode to solid.\n");
    EXPECT_EQ(driver.key('a', true), "default_key called.\nEditContext::change_tool called\n");
    EXPECT_STREQ(context.current_tool().name(), "world move");
}

// The keyboard chords, written down as a table independently of the tools.
// An a pressed outside a chord picks the world move tool, except in the
// tools that keep a to themselves.
struct ChordModel {
    std::map<std::string, std::string> transitions{
        {"brush a+", "far depth"}, {"brush c+", "facing plane"}, {"brush d+", "ground plane"}, {"brush f+", "look"},
        {"brush s+", "orbit forward"}, {"brush v+", "move"}, {"brush x+", "orbit up"}, {"brush z+", "focus depth"},
        {"look f-", "brush"}, {"look v+", "roll"}, {"move v-", "brush"}, {"move f+", "roll"}, {"roll f-", "move"},
        {"roll v-", "look"}, {"facing plane c-", "brush"}, {"facing plane d+", "side plane"},
        {"ground plane d-", "brush"}, {"ground plane c+", "side plane"}, {"side plane c-", "ground plane"},
        {"side plane d-", "facing plane"}, {"orbit up x-", "brush"}, {"orbit forward s-", "brush"},
        {"focus depth z-", "brush"}, {"focus depth a+", "far anchor"}, {"far depth a-", "brush"},
        {"far depth z+", "far anchor"}, {"far anchor a-", "focus depth"}, {"far anchor z-", "far depth"},
    };
    const std::set<std::string> keep_a{"brush", "focus depth", "far depth", "far anchor"};
    std::string tool = "brush";
    bool twist = true, saved_twist = true;

    static bool is_orbit(const std::string& name) { return name.rfind("orbit", 0) == 0; }

    void key(char key, bool pressed) {
        const auto found = transitions.find(tool + " " + key + (pressed ? "+" : "-"));
        if (found != transitions.end()) {
            if (is_orbit(tool)) twist = saved_twist;
            tool = found->second;
            if (is_orbit(tool)) saved_twist = twist, twist = false;
        } else if (pressed && key == 'a' && keep_a.count(tool) == 0) {
            tool = "world move";
        }
    }
};

TEST(ToolChords, RandomKeySequencesFollowTheChordTable) {
    EditContext context;
    ToolDriver driver(context);
    ChordModel model;
    std::mt19937 random(2024);
    const char keys[] = "acdfsvxzqa";
    for (int step = 0; step < 3000; ++step) {
        if (random() % 20 == 0) {
            model.twist = !model.twist;
            context.set_bool(BoolCompensateForTwist, model.twist);
        }
        const char key = keys[random() % std::strlen(keys)];
        const bool pressed = random() % 20 < 11;
        driver.key(static_cast<unsigned char>(key), pressed);
        model.key(key, pressed);
        ASSERT_EQ(context.current_tool().name(), model.tool) << "step " << step << " key " << key << pressed;
        ASSERT_EQ(context.query_bool(BoolCompensateForTwist), model.twist) << "step " << step;
        if (model.tool == "world move") {  // no key leads back: start over
            use<Tool>(context);
            model.tool = "brush";
        }
    }
}

// Each camera tool and what it should do to the view for movement amounts h
// and v, the eye's moves written in world terms. The depth tools slide
// sideways and hold the focus within 8 and 128, the far offset within 128;
// the far anchor keeps the far point in place.
void move_eye_by(View& view, const Vector3& d) { view.move_eye_to(view.eye_position() + d); }

TEST(CameraTools, EachToolMovesTheViewByItsRatesAndLimits) {
    using namespace tool_rates;
    const std::pair<void (*)(EditContext&), void (*)(View&, float, float)> cases[] = {
        {use<LookTool>, [](View& w, float h, float v) { w.rotate_y(kYaw * h), w.rotate_x(-(kPitch * v)); }},
        {use<MoveTool>,
         [](View& w, float h, float v) { move_eye_by(w, w.right_vector() * (3 * h) + w.forward_vector() * (4 * v)); }},
        {use<RollTool>,
         [](View& w, float h, float v) { w.rotate_z(kRoll * h), move_eye_by(w, w.up_vector() * (4 * v)); }},
        {use<WorldMoveTool>, [](View& w, float h, float v) { move_eye_by(w, Vector3(-4 * h, 0, -4 * v)); }},
        {use<FocusDepthTool>,
         [](View& w, float h, float v) {
             move_eye_by(w, w.right_vector() * (3 * h));
             w.set_focus_distance(std::clamp(w.focus_distance() + 4 * v, 8.0f, 128.0f));
         }},
        {use<FarDepthTool>,
         [](View& w, float h, float v) {
             move_eye_by(w, w.right_vector() * (3 * h));
             w.set_far_offset(std::clamp(w.far_offset() + 4 * v, 0.0f, 128.0f));
         }},
        {use<FarAnchorTool>,
         [](View& w, float h, float v) {
             move_eye_by(w, w.right_vector() * (3 * h));
             const Vector3 far = w.far_point();
             w.set_far_offset(std::clamp(w.far_offset() - 4 * v, 0.0f, 128.0f));
             w.move_eye_to(far - w.forward_vector() * (w.focus_distance() + w.far_offset()));
         }},
    };
    std::mt19937 random(11);
    std::uniform_int_distribution<int> travel(-40, 40), far(500, 1500);
    for (const auto& [tool, expected_motion] : cases) {
        EditContext context;
        ToolDriver driver(context);
        turn_randomly(context.view(), random);
        context.view().set_far_offset(200.0f);  // beyond the tools' limit, until the first vertical move
        tool(context);
        for (int frame = 0; frame < 24; ++frame) {
            const int dx = frame % 5 == 0 ? 0 : travel(random);
            // Now and then far up or down, to the depth tools' limits.
            const int dy =
                frame % 7 == 6 ? 0 : frame % 4 != 3 ? travel(random) : (frame % 8 == 3 ? 1 : -1) * far(random);
            View expected = context.view();
            expected_motion(expected, dx / 15.0f, dy / 15.0f);
            driver.frame(dx, dy);
            for (int i = 0; i < 16; ++i) {
                const double want = expected.matrix()[i];  // the eye goes through floats: far away, less precisely
                ASSERT_NEAR(context.view().matrix()[i], want, 1e-4 * (2 + std::fabs(want)))
                    << context.current_tool().name() << " frame " << frame << " element " << i;
            }
            ASSERT_NEAR(context.view().focus_distance(), expected.focus_distance(), 1e-3) << frame;
            ASSERT_NEAR(context.view().far_offset(), expected.far_offset(), 1e-3) << frame;
        }
    }
}

// A plane tool keeps the eye's coordinate on the world axis nearest the
// view direction (c), up (d) or right (both).
TEST(CameraTools, PlaneToolsMoveWithinTheirWorldPlane) {
    std::mt19937 random(3);
    void (*const tools[])(EditContext&) = {use<FacingPlaneTool>, use<GroundPlaneTool>, use<SidePlaneTool>};
    for (int trial = 0; trial < 60; ++trial) {
        EditContext context;
        ToolDriver driver(context);
        const View& view = context.view();
        turn_randomly(context.view(), random);
        const int kind = trial % 3;
        double sign = 0.0;
        const int axis = dominant_axis(
            kind == 0 ? view.forward_vector() : kind == 1 ? view.up_vector() : view.right_vector(), sign);
        tools[kind](context);
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
    use<SidePlaneTool>(context);
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
        tool(context);
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
