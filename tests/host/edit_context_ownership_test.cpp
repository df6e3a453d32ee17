#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/EditContext.h"
#include "core/edit_context_test_support.h"
#include "grid/World.h"
#include "host/Holloform.h"

namespace {

using Holloform::I_EditContextOwnerhip;

EditContext& edit_context(const I_EditContextOwnerhip& handle) { return dynamic_cast<EditContext&>(*handle); }

static_assert(!std::is_copy_constructible<I_EditContextOwnerhip>::value &&
                  !std::is_copy_assignable<I_EditContextOwnerhip>::value &&
                  std::is_nothrow_move_assignable<I_EditContextOwnerhip>::value,
              "one owner per edit context; handles move");

TEST(EditContextOwnership, TheLastOwnerDestroysTheEditContextOnce) {
    std::vector<std::string> log;
    RecordingResource resource(log, "held"), other(log, "other");
    {
        I_EditContextOwnerhip handle = Holloform::acquire_edit_context();
        edit_context(handle).register_resource(&resource);

        I_EditContextOwnerhip moved(std::move(handle));
        EXPECT_FALSE(handle);  // NOLINT(bugprone-use-after-move): a moved-from handle is empty

        // Taking over another edit context ends the one held before.
        I_EditContextOwnerhip replacement = Holloform::acquire_edit_context();
        edit_context(replacement).register_resource(&other);
        replacement = std::move(moved);
        EXPECT_EQ(log, std::vector<std::string>{"release other"});
    }
    EXPECT_EQ(log, (std::vector<std::string>{"release other", "release held"}));
}

// The settings as a context reads them: the numbers, then the strings.
std::pair<std::vector<double>, std::string> read_settings(const I_EditContext& context) {
    std::pair<std::vector<double>, std::string> read;
    for (std::uint32_t id = 0; id < IntVarSentinel; ++id) read.first.push_back(context.query_int(id));
    for (std::uint32_t id = 0; id < FloatVarSentinel; ++id) read.first.push_back(context.query_float(id));
    for (std::uint32_t id = 0; id < BoolVarSentinel; ++id) read.first.push_back(context.query_bool(id));
    for (std::uint32_t id = 0; id < StringVarSentinel; ++id) read.second += context.query_string(id) + std::string("|");
    return read;
}

// Each handle has an edit context of its own, which is not the process-wide
// one, but one settings store serves all: a write through any context or the
// forwarding functions reads back through every other; each new edit context
// resets all but the strings to the defaults (below, ints, floats and bools
// in identifier order), and destroying one changes no setting.
TEST(EditContextOwnership, HandlesHaveTheirOwnStateAndShareOneSettingsStore) {
    Holloform::do_action(ActionSentinel);  // makes the process-wide edit context first
    std::vector<I_EditContextOwnerhip> handles;
    handles.push_back(Holloform::acquire_edit_context());
    const std::vector<double> defaults = {3, 40, 40, 40, 128, 256, 8, 0, 0, 0, 0, 0, 0, 256, 1, 0.02f, 0.1f, 0.0625f, 1, 1,
                                          1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(read_settings(*handles[0]).first, defaults);
    handles.push_back(Holloform::acquire_edit_context());
    ASSERT_TRUE(handles[0] && handles[1] && handles[0].get() != handles[1].get());
    handles[0]->do_action(ActionChangeGridAffector);
    handles[0]->do_action(ActionNewClearGrid);
    Holloform::do_action(ActionChangeGridAffector);
    EXPECT_EQ(edit_context(handles[0]).current_affector_index(), 1u);
    EXPECT_EQ(edit_context(handles[1]).current_affector_index(), 0u);
    EXPECT_FALSE(edit_context(handles[0]).world().grid().get_voxel(100, 100, 100));
    EXPECT_TRUE(edit_context(handles[1]).world().grid().get_voxel(100, 100, 100));

    handles[0]->set_int(IntDisplayBoxY, 77);
    handles[1]->set_float(FloatClearR, 0.25f);
    Holloform::set_bool(BoolWireGrid, !Holloform::query_bool(BoolWireGrid));
    for (std::uint32_t id = 0; id < StringVarSentinel; ++id) handles[1]->set_string(id, "kept.hf");
    const auto written = read_settings(*handles[0]);
    EXPECT_EQ(Holloform::query_int(IntDisplayBoxY), 77);
    EXPECT_EQ(written.first[IntVarSentinel + FloatClearR], 0.25);
    EXPECT_EQ(read_settings(*handles[1]), written);
    handles.erase(handles.begin());
    EXPECT_EQ(read_settings(*handles[0]), written);
    handles.push_back(Holloform::acquire_edit_context());
    for (const I_EditContextOwnerhip& handle : handles) EXPECT_EQ(read_settings(*handle), std::make_pair(defaults, written.second));
    EXPECT_NE(written.second.find("kept.hf"), std::string::npos);
}

}  // namespace
