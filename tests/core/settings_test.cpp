#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "core/Settings.h"

namespace {

constexpr std::uint32_t kSlot = Settings::kStringSlotSize;

// Against a plain model: values in arrays, each string slot as its raw
// bytes, written with the cut-to-127 rule spelt out directly. Identifiers
// past a family's end change nothing and read as 1, 1.0, false, "Bad ID".
TEST(Settings, RandomOperationsMatchAPlainModel) {
    std::mt19937 rng(1234);
    Settings store;
    double numbers[3][22] = {};  // ints, floats, bools
    char strings[2][kSlot] = {};
    bool cut[2] = {};
    for (int step = 0; step < 20000; ++step) {
        const unsigned kind = rng() % 5, way = rng() % 4;
        const std::uint32_t count = kind == 0 ? 6 : kind == 1 ? 15 : kind == 2 ? 22 : 2;
        const std::uint32_t id = way == 0 ? count + rng() % 3 : way == 1 ? 4294967295u - rng() % 2 : rng() % count;
        const bool valid = id < count;
        if (kind < 3) {  // int, float or bool: each value is exact as a double
            std::uniform_real_distribution<float> real(-1e6f, 1e6f);
            const double value = kind == 0 ? double(std::int32_t(rng())) : kind == 1 ? real(rng) : rng() % 2;
            if (kind == 0) store.set_int(id, static_cast<std::int32_t>(value));
            if (kind == 1) store.set_float(id, static_cast<float>(value));
            if (kind == 2) store.set_bool(id, value != 0.0);
            if (valid) numbers[kind][id] = value;
            const double read = kind == 0 ? double(store.query_int(id))
                                          : kind == 1 ? double(store.query_float(id)) : double(store.query_bool(id));
            EXPECT_EQ(read, valid ? numbers[kind][id] : kind == 2 ? 0.0 : 1.0) << kind << " " << id;
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
