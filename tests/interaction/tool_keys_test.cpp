#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>
#include <string>

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

TEST(DefaultKey, AnnouncesEveryCallAndIgnoresReleases) {
    EditContext context;
    place_focus(context.view(), Vector3(20.5f, 20.5f, 20.5f));
    EXPECT_EQ(key_output(context, ' ', false), "default_key called.\n");
    EXPECT_TRUE(context.world().grid().get_voxel(20, 20, 20));
    EXPECT_EQ(key_output(context, 'q', true), "default_key called.\n");
    EXPECT_EQ(key_output(context, 'w', true), "default_key called.\nSetting display mode to wireframe.\n");
    EXPECT_FALSE(context.query_bool(BoolWireGrid));
    EXPECT_STREQ(context.current_tool().name(), "brush");

    ToolDriver driver(context);
    driver.use<LookTool>();  // the look tool passes s on; the default tool would pick a tool with it
    EXPECT_EQ(key_output(context, 's', true), "default_key called.\nSetting display mode to solid.\n");
    EXPECT_EQ(key_output(context, 'a', true), "default_key called.\nEditContext::change_tool called\n");
    EXPECT_STREQ(context.current_tool().name(), "world move");
}

TEST(DefaultKey, SpaceClearsTheFocusVoxelDirectly) {
    EditContext context;
    VoxelGrid& grid = context.world().grid();
    place_focus(context.view(), Vector3(-0.5f, 3.2f, 7.9f));
    key_output(context, ' ', true);
    EXPECT_FALSE(grid.get_voxel(0, 3, 7));
    // No cascade and no surface upkeep: the neighbours stay and no vertex appears.
    EXPECT_TRUE(grid.get_voxel(1, 3, 7));
    EXPECT_TRUE(context.world().vertices().empty());

    place_focus(context.view(), Vector3(-1.5f, 3.0f, 3.0f));
    key_output(context, ' ', true);
    EXPECT_TRUE(grid.get_voxel(511, 3, 3));
    EXPECT_TRUE(grid.get_voxel(0, 3, 3));
    place_focus(context.view(), Vector3(3.5f, 512.5f, 3.5f));
    key_output(context, ' ', true);
    EXPECT_TRUE(grid.get_voxel(3, 0, 3));
}

TEST(DefaultKey, BCapturesTheFocusThenReArms) {
    EditContext context;
    place_focus(context.view(), Vector3(40.5f, 50.5f, 60.5f));
    key_output(context, 'b', true);
    EXPECT_EQ(context.capture_armed(), 0);
    EXPECT_EQ(context.fixed_centre().x, 40u);
    EXPECT_EQ(context.fixed_centre().y, 50u);
    EXPECT_EQ(context.fixed_centre().z, 60u);

    place_focus(context.view(), Vector3(100.5f, 100.5f, 100.5f));
    key_output(context, 'b', true);
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_EQ(context.fixed_centre().x, 40u);
    key_output(context, 'b', false);
    EXPECT_EQ(context.capture_armed(), 1);
    EXPECT_FALSE(context.query_bool(BoolDisplayBoxStickOn));
    key_output(context, 'b', true);
    EXPECT_EQ(context.fixed_centre().x, 100u);
}

// The keyboard chords, written down as a table independently of the tools.
struct ChordModel {
    std::map<std::string, std::string> transitions{
        {"brush a+", "far depth"},     {"brush c+", "facing plane"},   {"brush d+", "ground plane"},
        {"brush f+", "look"},          {"brush s+", "orbit forward"},  {"brush v+", "move"},
        {"brush x+", "orbit up"},      {"brush z+", "focus depth"},    {"look f-", "brush"},
        {"look v+", "roll"},           {"move v-", "brush"},           {"move f+", "roll"},
        {"roll f-", "move"},           {"roll v-", "look"},            {"facing plane c-", "brush"},
        {"facing plane d+", "side plane"}, {"ground plane d-", "brush"}, {"ground plane c+", "side plane"},
        {"side plane c-", "ground plane"}, {"side plane d-", "facing plane"}, {"orbit up x-", "brush"},
        {"orbit forward s-", "brush"}, {"focus depth z-", "brush"},    {"focus depth a+", "far anchor"},
        {"far depth a-", "brush"},     {"far depth z+", "far anchor"}, {"far anchor a-", "focus depth"},
        {"far anchor z-", "far depth"},
    };
    std::map<std::string, std::string> own_keys{
        {"brush", "acdfsvxz"},   {"look", "fv"},          {"move", "fv"},        {"roll", "fv"},
        {"facing plane", "cd"},  {"ground plane", "cd"},  {"side plane", "cd"},  {"orbit up", "xs"},
        {"orbit forward", "xs"}, {"focus depth", "az"},   {"far depth", "az"},   {"far anchor", "az"},
        {"world move", ""},
    };

    std::string tool = "brush";
    bool twist = true;
    bool saved_twist = true;

    static bool is_orbit(const std::string& name) { return name.rfind("orbit", 0) == 0; }

    void key(char key, bool pressed) {
        const auto found = transitions.find(tool + " " + key + (pressed ? "+" : "-"));
        if (found != transitions.end()) {
            if (is_orbit(tool)) twist = saved_twist;
            enter(found->second);
        } else if (own_keys[tool].find(key) == std::string::npos && pressed && key == 'a') {
            enter("world move");
        }
    }

    void enter(const std::string& next) {
        tool = next;
        if (is_orbit(next)) {
            saved_twist = twist;
            twist = false;
        }
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
