#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "core/EditContext.h"
#include "grid/World.h"
#include "host/Holloform.h"
#include "interaction/View.h"

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

// What an action could change in an edit context, as one comparable value.
using ContextSnapshot = std::tuple<std::size_t, const MovementMode*, const VoxelGrid*, std::vector<double>>;

ContextSnapshot snapshot_of(EditContext& context) {
    const auto box = context.view().box_size();
    const auto fixed = context.fixed_centre();
    std::vector<double> values{double(context.world().boundary_flag()), box.x, box.y, box.z,
                               double(fixed.x), double(fixed.y), double(fixed.z)};
    for (std::uint32_t id = 0; id < IntVarSentinel; ++id) values.push_back(context.query_int(id));
    for (std::uint32_t id = 0; id < FloatVarSentinel; ++id) values.push_back(context.query_float(id));
    for (std::uint32_t id = 0; id < BoolVarSentinel; ++id) values.push_back(context.query_bool(id));
    return {context.current_affector_index(), &context.movement_mode(), &context.world().grid(), values};
}

TEST(ControlApi, ActionNumbersFromTenUpDoNothing) {
    const CallbackReset reset;
    prepare_export_through_api();
    Holloform::set_vertex3_func(count_first);
    Holloform::I_EditContextOwnerhip handle = Holloform::acquire_edit_context();
    EditContext& context = dynamic_cast<EditContext&>(*handle);
    context.set_bool(BoolD_OutsideSolid, true);  // an export would send vertices
    context.set_int(IntDisplayBoxX, 7);          // an UpdateDisplayBox would show
    const ContextSnapshot before = snapshot_of(context);

    std::mt19937 random(10);
    std::vector<std::uint32_t> numbers{ActionSentinel, ActionSentinel + 9, 0x80000000u, UINT32_MAX};
    for (int i = 0; i < 20; ++i) numbers.push_back(std::uniform_int_distribution<std::uint32_t>(10, UINT32_MAX)(random));
    first_calls = 0;
    for (const std::uint32_t number : numbers) {
        Holloform::do_action(number);
        handle->do_action(number);
    }
    EXPECT_EQ(first_calls, 0);
    EXPECT_TRUE(snapshot_of(context) == before);
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
