#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/EditContext.h"
#include "render/I_Releasable.h"
#include "grid/World.h"
#include "host/Holloform.h"

namespace {

using Holloform::I_EditContextOwnerhip;

EditContext& edit_context(const I_EditContextOwnerhip& handle) { return dynamic_cast<EditContext&>(*handle); }

class CountingResource final : public I_Releasable {
public:
    void release() override { ++releases; }
    int releases = 0;
};

static_assert(!std::is_copy_constructible<I_EditContextOwnerhip>::value, "one owner per edit context");
static_assert(!std::is_copy_assignable<I_EditContextOwnerhip>::value, "one owner per edit context");
static_assert(std::is_nothrow_move_constructible<I_EditContextOwnerhip>::value, "handles move");
static_assert(std::is_nothrow_move_assignable<I_EditContextOwnerhip>::value, "handles move");

TEST(EditContextOwnership, HandlesHaveTheirOwnStateAndShareTheSettings) {
    Holloform::do_action(ActionSentinel);  // makes the process-wide edit context
    const I_EditContextOwnerhip first = Holloform::acquire_edit_context();
    const I_EditContextOwnerhip second = Holloform::acquire_edit_context();
    ASSERT_TRUE(first && second);
    ASSERT_NE(first.get(), second.get());

    first->do_action(ActionChangeGridAffector);
    first->do_action(ActionNewClearGrid);
    EXPECT_EQ(edit_context(first).current_affector_index(), 1u);
    EXPECT_EQ(edit_context(second).current_affector_index(), 0u);
    EXPECT_FALSE(edit_context(first).world().grid().get_voxel(100, 100, 100));
    EXPECT_TRUE(edit_context(second).world().grid().get_voxel(100, 100, 100));

    // Neither is the process-wide edit context: its actions reach neither.
    Holloform::do_action(ActionChangeGridAffector);
    EXPECT_EQ(edit_context(first).current_affector_index(), 1u);
    EXPECT_EQ(edit_context(second).current_affector_index(), 0u);

}

TEST(EditContextOwnership, TheLastOwnerDestroysTheEditContextOnce) {
    CountingResource resource;
    {
        I_EditContextOwnerhip handle = Holloform::acquire_edit_context();
        edit_context(handle).register_resource(&resource);

        I_EditContextOwnerhip moved(std::move(handle));
        EXPECT_FALSE(handle);  // NOLINT(bugprone-use-after-move): a moved-from handle is empty
        I_EditContextOwnerhip assigned;
        assigned = std::move(moved);
        EXPECT_EQ(resource.releases, 0);

        // Taking over another edit context ends the one held before.
        CountingResource other;
        I_EditContextOwnerhip replacement = Holloform::acquire_edit_context();
        edit_context(replacement).register_resource(&other);
        replacement = std::move(assigned);
        EXPECT_EQ(other.releases, 1);
        EXPECT_EQ(resource.releases, 0);
    }
    EXPECT_EQ(resource.releases, 1);
}

// The settings as every edit context must see them: one store, reset to the
// defaults by each new edit context except for the strings.
struct SettingsModel {
    std::map<std::uint32_t, std::int32_t> ints;
    std::map<std::uint32_t, float> floats;
    std::map<std::uint32_t, bool> bools;
    std::map<std::uint32_t, std::string> strings;

    static SettingsModel read(const I_EditContext& context) {
        SettingsModel model;
        for (std::uint32_t id = 0; id < IntVarSentinel; ++id) model.ints[id] = context.query_int(id);
        for (std::uint32_t id = 0; id < FloatVarSentinel; ++id) model.floats[id] = context.query_float(id);
        for (std::uint32_t id = 0; id < BoolVarSentinel; ++id) model.bools[id] = context.query_bool(id);
        for (std::uint32_t id = 0; id < StringVarSentinel; ++id) model.strings[id] = context.query_string(id);
        return model;
    }
    bool operator==(const SettingsModel& o) const {
        return std::tie(ints, floats, bools, strings) == std::tie(o.ints, o.floats, o.bools, o.strings);
    }
};

// Random writes through the forwarding functions and through several
// handles, with handles made and dropped in between, against the model.
TEST(EditContextOwnership, RandomWritesThroughAnyContextMatchOneSharedStore) {
    std::mt19937 random(20260);
    std::vector<I_EditContextOwnerhip> handles;
    handles.push_back(Holloform::acquire_edit_context());
    const SettingsModel defaults = SettingsModel::read(*handles.front());
    SettingsModel model = defaults;

    auto pick = [&](std::uint32_t limit) { return std::uniform_int_distribution<std::uint32_t>(0, limit)(random); };
    for (int step = 0; step < 400; ++step) {
        // Identifiers reach past the families' ends, where writes do nothing.
        const std::uint32_t which = pick(6);
        const std::uint32_t id = pick(22);
        const std::int32_t value = static_cast<std::int32_t>(random());
        I_EditContext* through = handles.empty() || pick(2) == 0 ? nullptr : handles[pick(handles.size() - 1)].get();
        if (which == 0) {
            through ? through->set_int(id, value) : Holloform::set_int(id, value);
            if (id < IntVarSentinel) model.ints[id] = value;
        } else if (which == 1) {
            const float number = static_cast<float>(value) / 1024.0f;
            through ? through->set_float(id, number) : Holloform::set_float(id, number);
            if (id < FloatVarSentinel) model.floats[id] = number;
        } else if (which == 2) {
            through ? through->set_bool(id, value & 1) : Holloform::set_bool(id, value & 1);
            if (id < BoolVarSentinel) model.bools[id] = value & 1;
        } else if (which == 3) {
            const std::string text = "path-" + std::to_string(value);
            through ? through->set_string(id, text.c_str()) : Holloform::set_string(id, text.c_str());
            if (id < StringVarSentinel) model.strings[id] = text;
        } else if (which == 4) {
            handles.push_back(Holloform::acquire_edit_context());
            std::tie(model.ints, model.floats, model.bools) = std::tie(defaults.ints, defaults.floats, defaults.bools);
        } else if (which == 5 && !handles.empty()) {
            handles.erase(handles.begin() + pick(handles.size() - 1));  // destroying changes no setting
        } else {
            ASSERT_EQ(Holloform::query_int(id), id < IntVarSentinel ? model.ints[id] : 1);
            ASSERT_EQ(Holloform::query_float(id), id < FloatVarSentinel ? model.floats[id] : 1.0f);
            ASSERT_EQ(Holloform::query_bool(id), id < BoolVarSentinel && model.bools[id]);
        }
        for (const I_EditContextOwnerhip& handle : handles) ASSERT_TRUE(SettingsModel::read(*handle) == model);
    }
}

}  // namespace
