#pragma once

// Builds .vox bytes field by field, straight from the format's description,
// for tests that must not lean on the writer under test; and reads what an
// exchange refused.

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "exchange/ExchangeError.h"

namespace vox_build {

inline std::string le32(int64_t value) {
    const uint32_t v = uint32_t(int32_t(value));
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

inline std::string text(const std::string& s) { return le32(int64_t(s.size())) + s; }

inline std::string chunk(const std::string& id, const std::string& content, const std::string& children = "") {
    return id + le32(int64_t(content.size())) + le32(int64_t(children.size())) + content + children;
}

inline std::string file(const std::string& main_children) { return "VOX " + le32(150) + chunk("MAIN", "", main_children); }

inline std::string size(int64_t x, int64_t y, int64_t z) { return chunk("SIZE", le32(x) + le32(y) + le32(z)); }

// An XYZI chunk with voxels given as "x y z" byte triples, colour 1.
inline std::string xyzi(std::initializer_list<std::array<uint8_t, 3>> voxels) {
    std::string content = le32(int64_t(voxels.size()));
    for (const auto& v : voxels) content += std::string{char(v[0]), char(v[1]), char(v[2]), char(1)};
    return chunk("XYZI", content);
}

inline std::string transform(int64_t id, int64_t child, const std::string& frame_dict) {
    return chunk("nTRN", le32(id) + le32(0) + le32(child) + le32(-1) + le32(0) + le32(1) + frame_dict);
}

inline std::string translation(const std::string& t) { return le32(1) + text("_t") + text(t); }

inline std::string group(int64_t id, std::initializer_list<int64_t> children) {
    std::string content = le32(id) + le32(0) + le32(int64_t(children.size()));
    for (int64_t c : children) content += le32(c);
    return chunk("nGRP", content);
}

inline std::string shape(int64_t id, int64_t model) {
    return chunk("nSHP", le32(id) + le32(0) + le32(1) + le32(model) + le32(0));
}

// The reason an operation was refused for, or "accepted".
inline std::string refusal(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const ExchangeError& error) {
        return error.what();
    }
    return "accepted";
}

}  // namespace vox_build
