#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/Holloform.h"

namespace {

// Counts the vertices each of two callbacks receives.
int first_calls = 0;
int second_calls = 0;
void count_first(float, float, float) { ++first_calls; }
void count_second(float, float, float) { ++second_calls; }

// Leaves the process-wide vertex callback null for the tests that follow.
struct CallbackReset {
    ~CallbackReset() { Holloform::set_vertex3_func(nullptr); }
};

// A clear grid whose display box, with the outside solid, has faces on all
// its walls: every export sends vertices.
void prepare_export_through_api() {
    Holloform::set_int(IntGridLevels, 3);
    Holloform::do_action(ActionNewClearGrid);
    Holloform::set_bool(BoolD_OutsideSolid, true);
    Holloform::set_bool(BoolDisplayBoxStickOn, false);
    Holloform::set_float(FloatExportBoxMaxDim, 8.0f);
}

int count_exported_vertices() {
    first_calls = 0;
    Holloform::set_vertex3_func(count_first);
    Holloform::do_action(ActionExportDisplayBoxAsSquares);
    return first_calls;
}

TEST(ControlApi, TheSecondCallbackReplacesTheFirstAndNullSendsNothing) {
    const CallbackReset reset;
    prepare_export_through_api();
    first_calls = second_calls = 0;
    Holloform::set_vertex3_func(count_first);
    Holloform::set_vertex3_func(count_second);
    Holloform::do_action(ActionExportDisplayBoxAsSquares);
    EXPECT_EQ(first_calls, 0);
    EXPECT_GT(second_calls, 0);
    EXPECT_EQ(second_calls % 4, 0);
    first_calls = second_calls = 0;
    Holloform::set_vertex3_func(nullptr);
    Holloform::do_action(ActionExportDisplayBoxAsSquares);
    EXPECT_EQ(first_calls + second_calls, 0);
}

struct CallbackStopped {};

int throw_at_call = 0;
int calls_seen = 0;
void throw_at_chosen_call(float, float, float) {
    if (++calls_seen == throw_at_call) throw CallbackStopped{};
}

TEST(ControlApi, AThrowingCallbackEndsTheExportAndReachesTheCaller) {
    const CallbackReset reset;
    prepare_export_through_api();
    const int total = count_exported_vertices();
    ASSERT_GT(total, 100);

    std::mt19937 random(7);
    for (const int stop : {1, 2, total, std::uniform_int_distribution<int>(3, total - 1)(random)}) {
        throw_at_call = stop;
        calls_seen = 0;
        Holloform::set_vertex3_func(throw_at_chosen_call);
        EXPECT_THROW(Holloform::do_action(ActionExportDisplayBoxAsSquares), CallbackStopped);
        EXPECT_EQ(calls_seen, stop) << "no call after the one that threw";
    }
    // The interrupted exports left the world as it was and do_action usable.
    EXPECT_EQ(count_exported_vertices(), total);
}

// What the reentrant calls from inside an export did.
std::vector<std::string> reentry_log;
void reenter_from_callback(float, float, float) {
    if (!reentry_log.empty()) return;
    auto attempt = [](const char* name, void (*call)()) {
        try {
            call();
            reentry_log.push_back(std::string(name) + " ran");
        } catch (const std::logic_error&) {
            reentry_log.push_back(std::string(name) + " refused");
        }
    };
    attempt("do_action", [] { Holloform::do_action(ActionNewSolidGrid); });
    attempt("display", [] { Holloform::display(); });
    attempt("key", [] { Holloform::key(' ', true); });
    attempt("set_int", [] { Holloform::set_int(IntDisplayBoxY, Holloform::query_int(IntDisplayBoxY)); });
}

TEST(ControlApi, TheCallbackCannotChangeTheWorldTheExportReads) {
    const CallbackReset reset;
    prepare_export_through_api();
    const int total = count_exported_vertices();

    reentry_log.clear();
    first_calls = 0;
    Holloform::set_vertex3_func(reenter_from_callback);
    Holloform::do_action(ActionExportDisplayBoxAsSquares);
    EXPECT_EQ(reentry_log,
              (std::vector<std::string>{"do_action refused", "display refused", "key refused", "set_int ran"}));
    EXPECT_EQ(count_exported_vertices(), total);  // still the clear grid
}

}  // namespace
