#pragma once

#include <charconv>
#include <string>

// Appends the shortest decimal text that reads back to exactly `value` as a
// 32-bit float ("-0" for negative zero, "0.5", "1e+20").
inline void append_float_text(std::string& out, float value) {
    char buffer[32];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}
