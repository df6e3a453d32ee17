#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "grid/VoxelGrid.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"

namespace grid_test {

inline std::string saved_bytes(const VoxelGrid& grid, uint32_t boundary_flag) {
    std::ostringstream out(std::ios::binary);
    save_grid(grid, boundary_flag, out);
    return out.str();
}

// Same levels, root planes and maps, entry for entry in file order: the
// same saved bytes.
inline ::testing::AssertionResult same_grid(const VoxelGrid& a, const VoxelGrid& b) {
    if (saved_bytes(a, 0) == saved_bytes(b, 0)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the grids save differently";
}

inline LoadedGrid load_bytes(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::binary);
    return load_grid(in);
}

// What an operation threw and wrote to standard error, as
// "message | detail | error stream".
inline std::string failure_of(const std::function<void()>& operation) {
    ::testing::internal::CaptureStderr();
    std::string thrown = "(no exception)";
    try {
        operation();
    } catch (const Util_E26EF::Exception& error) {
        EXPECT_EQ(error.code, 0u);
        thrown = std::string(error.message) + " | " + (error.detail ? error.detail : "(none)");
    }
    return thrown + " | " + ::testing::internal::GetCapturedStderr();
}

// Little-endian u32 appended to a byte string, for files built by hand.
inline void append_u32(std::string& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

// The little-endian u32 at a byte offset.
inline uint32_t u32_at(const std::string& bytes, size_t offset) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= uint32_t(uint8_t(bytes.at(offset + i))) << (8 * i);
    return value;
}

inline void append_plane(std::string& bytes, const BitPlane& plane) {
    for (uint32_t word : plane.words) append_u32(bytes, word);
}

}  // namespace grid_test
