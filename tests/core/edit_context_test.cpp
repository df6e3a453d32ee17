#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "core/Settings.h"
#include "core/edit_context_test_support.h"
#include "grid/World.h"
#include "interaction/MovementMode.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

TEST(EditContext, ConstructionStartsTheEditorAndWritesDefaults) {
    settings().set_int(IntGridLevels, 6);
    settings().set_string(StringSavePath, "kept.hf");
    EditContext context;
    EXPECT_EQ(context.query_int(IntGridLevels), 3);
    EXPECT_STREQ(context.query_string(StringSavePath), "kept.hf");
    EXPECT_EQ(context.world().grid().levels(), 3u);
    EXPECT_EQ(context.world().boundary_flag(), 1u);
    const Vector3 eye = context.view().eye_position();
    EXPECT_NEAR(dot(eye - Vector3(224.0f, 272.0f, 224.0f), eye - Vector3(224.0f, 272.0f, 224.0f)), 0.0, 1e-6);
    EXPECT_STREQ(context.current_tool().name(), "brush");
    EXPECT_EQ(&context.movement_mode(), &pointer_offset_mode());
}

class RecordingResource final : public I_Releasable {
public:
    RecordingResource(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void release() override { log_.push_back("release " + name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST(EditContext, DestructionDeletesTheToolThenReleasesEachResourceOnce) {
    std::vector<std::string> log;
    RecordingResource first(log, "first");
    RecordingResource second(log, "second");
    {
        EditContext context;
        install_recording_tool(context, log);
        context.register_resource(&first);
        context.register_resource(&second);
        context.register_resource(&first);  // a second registration changes nothing
        context.register_resource(nullptr);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"destroyed", "release first", "release second"}));
}

TEST(EditContext, EventsAreStoredAndReachTheCurrentTool) {
    std::vector<std::string> log;
    EditContext context;
    install_recording_tool(context, log);

    context.reshape(5, 5, 100, 100);
    context.motion(10, 20);
    EXPECT_EQ(context.pointer().x, 5);
    EXPECT_EQ(context.pointer().y, 15);

    for (auto [button, state] : {std::pair{0, false}, {2, false}, {2, true}, {3, false}, {-1, false}}) {
        context.button(button, state);
    }
    for (int b : {-1, 0, 1, 2, 3}) EXPECT_EQ(context.button_pressed(b), b == 0) << b;

    context.key('q', true);
    context.key('q', false);
    EXPECT_EQ(log, (std::vector<std::string>{"motion 5 15", "button 0 0", "button 2 0", "button 2 1",
                                             "button 3 0", "button -1 0", "key q down", "key q up"}));
}

TEST(EditContext, ChangeToolAnnouncesAndReplacesTheCurrentTool) {
    std::vector<std::string> old_log;
    std::vector<std::string> new_log;
    EditContext context;
    install_recording_tool(context, old_log);

    CaptureStdout();
    Tool::change_tool(context, std::make_unique<RecordingTool>(context, new_log));
    EXPECT_EQ(GetCapturedStdout(), "Tool::change_tool called\nEditContext::change_tool called\n");
    EXPECT_EQ(old_log, std::vector<std::string>{"destroyed"});

    context.motion(1, 2);
    EXPECT_EQ(new_log, std::vector<std::string>{"motion 1 2"});
    EXPECT_EQ(old_log.size(), 1u);
}

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

    context.display();  // the first frame counts as 0.1 s
    clock.advance(250.0);
    context.display();
    clock.advance(2000.0);
    context.display();  // a long pause moves no further than 0.5 s
    clock.advance(-10.0);
    context.display();  // a clock going backwards moves nothing

    ASSERT_EQ(tool.elapsed_.size(), 4u);
    EXPECT_NEAR(tool.elapsed_[0], 0.1, 1e-9);
    EXPECT_NEAR(tool.elapsed_[1], 0.25, 1e-9);
    EXPECT_NEAR(tool.elapsed_[2], 2.0, 1e-9);
    EXPECT_FLOAT_EQ(tool.amounts_[0], 0.1f * raw * 20.0f);
    EXPECT_FLOAT_EQ(tool.amounts_[1], 0.25f * raw * 20.0f);
    EXPECT_FLOAT_EQ(tool.amounts_[2], 0.5f * raw * 20.0f);
    EXPECT_EQ(tool.amounts_[3], 0.0f);
    EXPECT_EQ(context.previous_pointer().x, 100);
}

TEST(PointerOffsetMode, DeadZoneEdgesAndOutside) {
    float out = 1.0f;
    const double centre = 101 * 0.5;
    const float hi = static_cast<float>(centre + (101 - centre) * double(0.1f));
    ASSERT_TRUE(pointer_offset_amount(100, 100, out));  // right edge: just under 1
    EXPECT_FLOAT_EQ(out, static_cast<float>((100.0 - hi) / (101.0 - hi)));
    float beyond = 0.0f;
    ASSERT_TRUE(pointer_offset_amount(5000, 100, beyond));  // outside counts as on the edge
    EXPECT_EQ(beyond, out);
    EXPECT_FALSE(pointer_offset_amount(10, 0, out));  // a collapsed window steers nothing

    // Across the whole viewport: monotonic, within [-1, 1], zero exactly in the dead zone.
    float previous = -2.0f;
    for (int pos = -5; pos <= 205; ++pos) {
        const bool moved = pointer_offset_amount(pos, 200, out);
        EXPECT_GE(out, previous);
        EXPECT_LE(std::fabs(out), 1.0f + 1e-6f);
        const bool in_dead_zone = pos >= 91 && pos <= 110;
        EXPECT_EQ(moved, !in_dead_zone) << pos;
        EXPECT_EQ(out == 0.0f, in_dead_zone) << pos;
        previous = out;
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
