#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "core/Settings.h"

namespace {

constexpr std::uint32_t kSlot = Settings::kStringSlotSize;
constexpr std::uint32_t kHugeId = 4294967295u;

TEST(Settings, DefaultsResetEverythingButTheStrings) {
    Settings store;
    EXPECT_EQ(store.query_int(IntGridLevels), 0);  // a new store is zero-filled
    store.set_string(StringSavePath, "grid.hf");
    store.set_int(IntGridLevels, 5);
    store.set_float(FloatClearR, 0.5f);
    store.set_bool(BoolWireGrid, true);
    write_setting_defaults(store);

    EXPECT_STREQ(store.query_string(StringSavePath), "grid.hf");
    const std::int32_t ints[] = {3, 40, 40, 40, 128, 256};
    for (std::uint32_t id = 0; id < IntVarSentinel; ++id) EXPECT_EQ(store.query_int(id), ints[id]);
    const float floats[] = {8.0f, 0, 0, 0, 0, 0, 0, 256.0f, 1.0f, 0.02f, 0.1f, 0.0625f, 1, 1, 1};
    for (std::uint32_t id = 0; id < FloatVarSentinel; ++id) EXPECT_EQ(store.query_float(id), floats[id]) << id;
    const bool bools[] = {false, true, false, true, false, false, true, true, true, false,
                          false, true, false, true, true, false, true, true, false, false, false, false};
    for (std::uint32_t id = 0; id < BoolVarSentinel; ++id) EXPECT_EQ(store.query_bool(id), bools[id]) << id;
}

// A plain model: values in arrays, each string slot as its raw bytes,
// written with the cut-to-127 rule spelt out directly.
struct ModelStore {
    char strings[2][kSlot] = {};
    bool cut[2] = {};
    std::int32_t ints[6] = {};
    float floats[15] = {};
    bool bools[22] = {};
};

TEST(Settings, RandomOperationsMatchAPlainModel) {
    std::mt19937 rng(1234);
    auto pick_id = [&](std::uint32_t count) -> std::uint32_t {
        switch (rng() % 4) {
            case 0: return count + rng() % 3;
            case 1: return kHugeId - rng() % 2;
            default: return rng() % count;
        }
    };
    Settings store;
    ModelStore model;
    for (int step = 0; step < 20000; ++step) {
        const unsigned kind = rng() % 5;
        if (kind == 0) {
            const std::uint32_t id = pick_id(IntVarSentinel);
            const auto value = static_cast<std::int32_t>(rng());
            store.set_int(id, value);
            if (id < 6) model.ints[id] = value;
            EXPECT_EQ(store.query_int(id), id < 6 ? model.ints[id] : 1);
        } else if (kind == 1) {
            const std::uint32_t id = pick_id(FloatVarSentinel);
            const float value = std::uniform_real_distribution<float>(-1e6f, 1e6f)(rng);
            store.set_float(id, value);
            if (id < 15) model.floats[id] = value;
            EXPECT_EQ(store.query_float(id), id < 15 ? model.floats[id] : 1.0f);
        } else if (kind == 2) {
            const std::uint32_t id = pick_id(BoolVarSentinel);
            const bool value = rng() % 2;
            store.set_bool(id, value);
            if (id < 22) model.bools[id] = value;
            EXPECT_EQ(store.query_bool(id), id < 22 && model.bools[id]);
        } else if (kind == 3) {
            const std::uint32_t id = pick_id(StringVarSentinel);
            std::string value(rng() % 140, ' ');
            for (char& c : value) c = static_cast<char>(1 + rng() % 255);
            const char* slot = store.query_string(id);
            const bool null_string = rng() % 16 == 0;  // a null string changes nothing
            store.set_string(id, null_string ? nullptr : value.c_str());
            if (null_string) value = std::string(id < 2 ? model.strings[id] : "");
            if (id >= 2) {
                EXPECT_STREQ(store.query_string(id), "Bad ID");
                continue;
            }
            EXPECT_EQ(store.query_string(id), slot) << "a slot never moves";
            const std::size_t kept = std::min<std::size_t>(value.size(), kSlot - 1);
            std::memcpy(model.strings[id], value.data(), kept);
            model.strings[id][kept] = '\0';
            if (!null_string) model.cut[id] = value.size() >= kSlot;
            if (!null_string && value.size() >= kSlot) {
                // The cut moves back over up to three UTF-8 continuation bytes
                // to the start of their character.
                std::size_t back = 0;
                while (back < 4 && (value[kSlot - 1 - back] & 0xC0) == 0x80) ++back;
                if (back < 4) model.strings[id][kSlot - 1 - back] = '\0';
            }
            EXPECT_EQ(std::memcmp(store.query_string(id), model.strings[id], kSlot), 0);
            EXPECT_EQ(store.string_was_cut(id), model.cut[id]);
        } else {
            const std::uint32_t id = pick_id(StringVarSentinel);
            const std::uint32_t limit = rng() % 140;
            char buffer[160], expected[160];
            std::memset(buffer, 0x7f, sizeof buffer);
            std::memset(expected, 0x7f, sizeof expected);
            if (id < 2) {
                const std::size_t whole = std::strlen(model.strings[id]) + 1;
                std::memcpy(expected, model.strings[id], std::min<std::size_t>(limit, whole));
            }
            store.copy_string(id, buffer, limit);
            EXPECT_EQ(std::memcmp(buffer, expected, sizeof buffer), 0);
        }
    }
}

}  // namespace
