#pragma once

#include <cstdint>

#include "core/SettingIds.h"

// The store of every tunable: 2 strings, 6 integers, 15 floats and 22 bools,
// each family addressed by its own numbering (core/SettingIds.h). A new store
// holds empty strings, 0, 0.0 and false. Identifiers outside a family's range
// are never an error: writes are ignored and queries answer fixed fallbacks.
class Settings {
public:
    // Bytes in one string slot, terminator included.
    static constexpr std::uint32_t kStringSlotSize = 128;

    // Copies value byte by byte with its terminator into slot id. A value of
    // kStringSlotSize bytes or more is cut to at most kStringSlotSize - 1
    // bytes, never inside a UTF-8 sequence, and terminated. Bytes after the
    // copied terminator keep their old contents. A null value is ignored.
    void set_string(std::uint32_t id, const char* value);
    // Whether the value last stored in slot id had to be cut.
    bool string_was_cut(std::uint32_t id) const;
    // Copies slot id into buffer up to and including its terminator, but at
    // most limit bytes; when the limit comes first no terminator is added.
    // Writes nothing for a bad id, a limit of 0 or a null buffer.
    void copy_string(std::uint32_t id, char* buffer, std::uint32_t limit) const;
    // The slot itself (it shows later changes), or "Bad ID" for a bad id.
    const char* query_string(std::uint32_t id) const;

    void set_int(std::uint32_t id, std::int32_t value);
    // 1 for a bad id.
    std::int32_t query_int(std::uint32_t id) const;

    void set_float(std::uint32_t id, float value);
    // 1.0 for a bad id.
    float query_float(std::uint32_t id) const;

    void set_bool(std::uint32_t id, bool value);
    // false for a bad id.
    bool query_bool(std::uint32_t id) const;

private:
    char strings_[StringVarSentinel][kStringSlotSize] = {};
    bool cut_[StringVarSentinel] = {};
    std::int32_t ints_[IntVarSentinel] = {};
    float floats_[FloatVarSentinel] = {};
    bool bools_[BoolVarSentinel] = {};
};

// The process-wide store shared by every edit context; zero-filled until the
// first edit context writes the defaults.
Settings& settings();

// Resets every integer, float and bool to its default; the strings keep
// their contents. Each edit context calls this as the last step of its
// construction.
void write_setting_defaults(Settings& store = settings());
