#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "core/edit_context_test_support.h"
#include "interaction/GeometryExpect.h"
#include "interaction/MovementMode.h"

namespace {

// The camera starts at (224, 272, 224), level, looking along (1, 0, 1).
TEST(EditContext, StartsLevelLookingDiagonallyAcrossTheGrid) {
    EditContext context;
    expect_near(context.view().eye_position(), Vector3(224, 272, 224), 1e-3);
    expect_near(context.view().forward_vector(), Vector3(std::sqrt(0.5f), 0, std::sqrt(0.5f)), 1e-5);
    expect_near(context.view().up_vector(), Vector3(0, 1, 0), 1e-5);
}

// Events are stored and reach the current tool; a new tool is announced and
// replaces the old one; destruction deletes the tool, then releases each
// registered resource once.
TEST(EditContext, EventsReachTheCurrentToolAndDestructionReleasesEachResourceOnce) {
    std::vector<std::string> log;
    RecordingResource first(log, "first"), second(log, "second");
    {
        EditContext context;
        install_recording_tool(context, log);
        for (I_Releasable* resource : {&first, &second, &first, static_cast<RecordingResource*>(nullptr)})
            context.register_resource(resource);  // a second registration changes nothing
        context.reshape(5, 5, 100, 100);
        context.motion(10, 20);
        EXPECT_EQ(std::make_pair(context.pointer().x, context.pointer().y), std::make_pair(5, 15));
        for (auto [button, state] : {std::pair{0, false}, {2, false}, {2, true}, {3, false}, {-1, false}})
            context.button(button, state);
        for (int b : {-1, 0, 1, 2, 3}) EXPECT_EQ(context.button_pressed(b), b == 0) << b;
        context.key('q', true);
        context.key('q', false);
        testing::internal::CaptureStdout();
        Tool::change_tool(context, std::make_unique<RecordingTool>(context, log));
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Tool::change_tool called\nEditContext::change_tool called\n");
        context.motion(11, 12);
        log.push_back("end");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"motion 5 15", "button 0 0", "button 2 0", "button 2 1", "button 3 0",
                                             "button -1 0", "key q down", "key q up", "destroyed", "motion 6 7",
                                             "end", "destroyed", "release first", "release second"}));
}

// The first frame counts as 0.1 s, a long pause as no more than 0.5 s, and a
// clock going backwards moves nothing.
TEST(EditContext, FramesTimeTheToolsAndCapLongFrames) {
    std::vector<std::string> log;
    ManualClock clock(5000.0);
    EditContext context;
    context.set_bool(BoolDisplayGridAsSquares, false);  // keep the frames cheap
    RecordingTool& tool = install_recording_tool(context, log);
    context.reshape(0, 0, 100, 100);
    context.motion(100, 50);  // right edge: just under full speed to the right
    float raw = 0.0f;
    ASSERT_TRUE(pointer_offset_amount(100, 100, raw));
    const double advance[] = {0.0, 250.0, 2000.0, -10.0}, elapsed[] = {0.1, 0.25, 2.0, -0.01};
    const float moved[] = {0.1f, 0.25f, 0.5f, 0.0f};
    for (int frame = 0; frame < 4; ++frame) {
        clock.advance(advance[frame]);
        context.display();
        ASSERT_EQ(tool.elapsed_.size(), frame + 1u);
        EXPECT_NEAR(tool.elapsed_[frame], elapsed[frame], 1e-9) << frame;
        EXPECT_FLOAT_EQ(tool.amounts_[frame], moved[frame] * raw * 20.0f) << frame;
    }
    EXPECT_EQ(context.previous_pointer().x, 100);
}

// Zero in the dead zone, a tenth of the half-side about the centre; linear
// beyond it up to the edge; outside the window counts as on the edge.
TEST(PointerOffsetMode, ZeroInTheDeadZoneLinearBeyondAndClampedOutside) {
    float out = 1.0f;
    EXPECT_FALSE(pointer_offset_amount(10, 0, out));  // a collapsed window steers nothing
    const double a = 201.0, hi = 100.5 + 100.5 * double(0.1f), lo = 100.5 - 100.5 * double(0.1f);
    for (int pos = -5; pos <= 205; ++pos) {
        const double p = std::clamp(pos, 0, 200);
        const double expected = p > hi ? (p - hi) / (a - hi) : p >= lo ? 0.0 : -(lo - p) / (a - hi);
        EXPECT_EQ(pointer_offset_amount(pos, 200, out), expected != 0.0) << pos;
        EXPECT_NEAR(out, expected, 1e-6) << pos;
    }
}

IntBox box_with_focus(EditContext& context, const Vector3& focus) {
    place_focus(context.view(), focus);
    return context.compute_display_box();
}

TEST(DisplayBox, RandomBoxesStayOrderedInsideTheGridAndHoldTheirSize) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-100.0f, 620.0f);
    std::uniform_int_distribution<int> size(0, 600);
    EditContext context;
    for (int trial = 0; trial < 300; ++trial) {
        const Vector3 box_size(float(size(random)), float(size(random)), float(size(random)));
        context.view().set_box_size(box_size);
        const IntBox box = box_with_focus(context, Vector3(coordinate(random), coordinate(random), coordinate(random)));
        ASSERT_TRUE(box.fits_within(512)) << trial;
        for (int axis = 0; axis < 3; ++axis) {
            // An even size that fits the grid spans size + 1 voxels, except
            // where the top face cuts the last one off.
            const auto s = static_cast<std::uint32_t>(box_size[axis]);
            if (s % 2 != 0 || s > 512) continue;
            const std::uint32_t span = box.upper(axis) - box.lower(axis);
            EXPECT_TRUE(span == s || (span == s - 1 && box.upper(axis) == 511)) << trial << " axis " << axis;
        }
    }
}

}  // namespace
