#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "core/Settings.h"

namespace {

constexpr std::uint32_t kSlot = Settings::kStringSlotSize;

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

// Against a plain model: values in arrays, each string slot as its raw
// bytes, written with the cut-to-127 rule spelt out directly. Identifiers
// past a family's end change nothing and read as 1, 1.0, false, "Bad ID".
TEST(Settings, RandomOperationsMatchAPlainModel) {
    std::mt19937 rng(1234);
    Settings store;
    std::int32_t ints[6] = {};
    float floats[15] = {};
    bool bools[22] = {};
    char strings[2][kSlot] = {};
    bool cut[2] = {};
    for (int step = 0; step < 20000; ++step) {
        const unsigned kind = rng() % 5, way = rng() % 4;
        const std::uint32_t count = kind == 0 ? 6 : kind == 1 ? 15 : kind == 2 ? 22 : 2;
        const std::uint32_t id = way == 0 ? count + rng() % 3 : way == 1 ? 4294967295u - rng() % 2 : rng() % count;
        const bool valid = id < count;
        if (kind == 0) {
            const auto value = static_cast<std::int32_t>(rng());
            store.set_int(id, value);
            if (valid) ints[id] = value;
            EXPECT_EQ(store.query_int(id), valid ? ints[id] : 1);
        } else if (kind == 1) {
            const float value = std::uniform_real_distribution<float>(-1e6f, 1e6f)(rng);
            store.set_float(id, value);
            if (valid) floats[id] = value;
            EXPECT_EQ(store.query_float(id), valid ? floats[id] : 1.0f);
        } else if (kind == 2) {
            const bool value = rng() % 2;
            store.set_bool(id, value);
            if (valid) bools[id] = value;
            EXPECT_EQ(store.query_bool(id), valid && bools[id]);
        } else if (kind == 3) {
            std::string value(rng() % 140, ' ');
            for (char& c : value) c = static_cast<char>(rng() % 2 ? 0x80 + rng() % 64 : 1 + rng() % 255);  // UTF-8 continuation bytes often
            const char* slot = store.query_string(id);
            const bool null_string = rng() % 16 == 0;  // a null string changes nothing
            store.set_string(id, null_string ? nullptr : value.c_str());
            if (!valid) {
                EXPECT_STREQ(store.query_string(id), "Bad ID");
                continue;
            }
            EXPECT_EQ(store.query_string(id), slot) << "a slot never moves";
            if (!null_string) {
                const std::size_t kept = std::min<std::size_t>(value.size(), kSlot - 1);
                std::memcpy(strings[id], value.data(), kept);
                strings[id][kept] = '\0';
                cut[id] = value.size() >= kSlot;
                // The cut moves back over up to three UTF-8 continuation
                // bytes to the start of their character.
                std::size_t back = 0;
                while (cut[id] && back < 4 && (value[kSlot - 1 - back] & 0xC0) == 0x80) ++back;
                if (cut[id] && back < 4) strings[id][kSlot - 1 - back] = '\0';
            }
            EXPECT_EQ(std::memcmp(store.query_string(id), strings[id], kSlot), 0);
            EXPECT_EQ(store.string_was_cut(id), cut[id]);
        } else {
            const std::uint32_t limit = rng() % 140;
            char buffer[160], expected[160];
            std::memset(buffer, 0x7f, sizeof buffer);
            std::memset(expected, 0x7f, sizeof expected);
            if (valid) std::memcpy(expected, strings[id], std::min<std::size_t>(limit, std::strlen(strings[id]) + 1));
            store.copy_string(id, buffer, limit);
            EXPECT_EQ(std::memcmp(buffer, expected, sizeof buffer), 0);
        }
    }
}

}  // namespace
