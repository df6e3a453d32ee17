#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "grid/World.h"
#include "interaction/DefaultKey.h"
#include "interaction/tool_test_support.h"
#include "interaction/tools/WorldMoveTool.h"
#include "interaction/tools/LookMoveTools.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

std::string key_output(EditContext& context, unsigned char key, bool pressed) {
    CaptureStdout();
    context.key(key, pressed);
    return GetCapturedStdout();
}

// Every call is announced; presses of space, b, s, w and a act.
TEST(DefaultKey, AnnouncesEveryCallAndActsOnPresses) {
    EditContext context;
    const VoxelGrid& grid = context.world().grid();
    const auto key_at = [&](unsigned char key, bool pressed, const Vector3& focus) {
        place_focus(context.view(), focus);
        return key_output(context, key, pressed);
    };
    EXPECT_EQ(key_at(' ', false, Vector3(20.5f, 20.5f, 20.5f)), "default_key called.\n");
    EXPECT_TRUE(grid.get_voxel(20, 20, 20));
    EXPECT_EQ(key_output(context, 'q', true), "default_key called.\n");
    EXPECT_EQ(key_output(context, 'w', true), "default_key called.\nSetting display mode to wireframe.\n");
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
    EXPECT_EQ(std::vector<uint32_t>({context.fixed_centre().x, context.fixed_centre().y, context.fixed_centre().z}),
              std::vector<uint32_t>({40, 50, 60}));
    key_at('b', true, Vector3(100.5f, 100.5f, 100.5f));
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_EQ(context.fixed_centre().x, 40u);
    key_output(context, 'b', false);
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_FALSE(context.query_bool(BoolDisplayBoxStickOn));
    key_output(context, 'b', true);
    EXPECT_EQ(context.fixed_centre().x, 100u);

    ToolDriver driver(context);
    driver.use<LookTool>();  // the look tool passes s on; the default tool would pick a tool with it
    EXPECT_EQ(key_output(context, 's', true), "default_key called.\nSetting display mode to solid.\n");
    EXPECT_EQ(key_output(context, 'a', true), "default_key called.\nEditContext::change_tool called\n");
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
            enter(found->second);
        } else if (pressed && key == 'a' && keep_a.count(tool) == 0) {
            enter("world move");
        }
    }

    void enter(const std::string& next) {
        tool = next;
        if (is_orbit(next)) saved_twist = twist, twist = false;
    }
};

TEST(ToolChords, RandomKeySequencesFollowTheChordTable) {
    EditContext context;
    ToolDriver driver(context);
    ChordModel model;
    std::mt19937 random(2024);
    const char keys[] = "acdfsvxzqa";
    std::uniform_int_distribution<int> pick(0, int(std::strlen(keys)) - 1);
    std::bernoulli_distribution press(0.55);
    std::bernoulli_distribution flip_twist(0.05);
    for (int step = 0; step < 3000; ++step) {
        if (flip_twist(random)) {
            model.twist = !model.twist;
            context.set_bool(BoolCompensateForTwist, model.twist);
        }
        const char key = keys[pick(random)];
        const bool pressed = press(random);
        driver.key(static_cast<unsigned char>(key), pressed);
        model.key(key, pressed);
        ASSERT_EQ(context.current_tool().name(), model.tool) << "step " << step << " key " << key << pressed;
        ASSERT_EQ(context.query_bool(BoolCompensateForTwist), model.twist) << "step " << step;
        if (model.tool == "world move") {  // no key leads back: start over
            driver.use<Tool>();
            model.tool = "brush";
        }
    }
}

}  // namespace
