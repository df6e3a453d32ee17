#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/Holloform.h"

namespace {

int calls = 0;
void count_vertex(float, float, float) { ++calls; }
void replaced(float, float, float) { ADD_FAILURE() << "a replaced callback was called"; }

// What the reentrant calls from inside an export did.
std::vector<std::string> reentry_log;
void reenter_once(float, float, float) {
    ++calls;
    if (!reentry_log.empty()) return;
    const std::pair<const char*, void (*)()> attempts[] = {
        {"do_action", [] { Holloform::do_action(ActionNewSolidGrid); }},
        {"display", [] { Holloform::display(); }},
        {"key", [] { Holloform::key(' ', true); }},
        {"set_int", [] { Holloform::set_int(IntDisplayBoxY, Holloform::query_int(IntDisplayBoxY)); }}};
    for (const auto& [name, call] : attempts) {
        try {
            call();
            reentry_log.push_back(std::string(name) + " ran");
        } catch (const std::logic_error&) {
            reentry_log.push_back(std::string(name) + " refused");
        }
    }
}

int export_with(Holloform::Vertex3Function callback) {
    calls = 0;
    Holloform::set_vertex3_func(callback);
    Holloform::do_action(ActionExportDisplayBoxAsSquares);
    return calls;
}

// A clear grid whose display box, with the outside solid, has faces on all
// its walls, so every export sends vertices. The last callback set receives
// them, none after null; a callback cannot run actions, frames or keys while
// the export reads the world, but may change settings.
TEST(ControlApi, TheLastCallbackSetReceivesTheExportAndCannotChangeTheWorld) {
    Holloform::set_int(IntGridLevels, 3);
    Holloform::do_action(ActionNewClearGrid);
    Holloform::set_bool(BoolD_OutsideSolid, true);
    Holloform::set_bool(BoolDisplayBoxStickOn, false);
    Holloform::set_float(FloatExportBoxMaxDim, 8.0f);
    Holloform::set_vertex3_func(replaced);
    const int total = export_with(count_vertex);
    EXPECT_TRUE(total > 100 && total % 4 == 0) << total;
    EXPECT_EQ(export_with(nullptr), 0);
    reentry_log.clear();
    EXPECT_EQ(export_with(reenter_once), total);
    EXPECT_EQ(reentry_log,
              (std::vector<std::string>{"do_action refused", "display refused", "key refused", "set_int ran"}));
    EXPECT_EQ(export_with(count_vertex), total);  // still the clear grid
    Holloform::set_vertex3_func(nullptr);
}

}  // namespace
