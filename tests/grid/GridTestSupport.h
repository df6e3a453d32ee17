#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "grid/VoxelGrid.h"
#include "persistence/Exception.h"
#include "persistence/GridFile.h"

namespace grid_test {

inline uint32_t entries_below_root(const VoxelGrid& grid) {
    uint32_t total = grid.leaf_map().size();
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) total += grid.node_map(level).size();
    return total;
}

// Both maps hold the same entries in the same file order.
template <typename Value>
::testing::AssertionResult same_map(const CellMap<Value>& a, const CellMap<Value>& b) {
    if (a.size() != b.size()) return ::testing::AssertionFailure() << "entry counts " << a.size() << " and " << b.size();
    const std::vector<uint32_t> order_a = a.file_order(), order_b = b.file_order();
    for (uint32_t i = 0; i < a.size(); ++i) {
        const auto& ea = a.entry_at(order_a[i]);
        const auto& eb = b.entry_at(order_b[i]);
        if (ea.key != eb.key || ea.value != eb.value) return ::testing::AssertionFailure() << "entry " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

// Same levels, root planes and maps, entry for entry.
inline ::testing::AssertionResult same_grid(const VoxelGrid& a, const VoxelGrid& b) {
    if (a.levels() != b.levels()) return ::testing::AssertionFailure() << "level counts differ";
    if (a.root() != b.root()) return ::testing::AssertionFailure() << "roots differ";
    for (uint32_t level = 1; level < a.leaf_level(); ++level) {
        auto maps = same_map(a.node_map(level), b.node_map(level));
        if (!maps) return maps << " at level " << level;
    }
    auto leaves = same_map(a.leaf_map(), b.leaf_map());
    if (!leaves) return leaves << " among the leaf blocks";
    return ::testing::AssertionSuccess();
}

inline std::string saved_bytes(const VoxelGrid& grid, uint32_t boundary_flag) {
    std::ostringstream out(std::ios::binary);
    save_grid(grid, boundary_flag, out);
    return out.str();
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

inline std::string load_failure(const std::string& bytes) {
    return failure_of([&] { load_bytes(bytes); });
}

// Little-endian u32 appended to a byte string, for files built by hand.
inline void append_u32(std::string& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

inline void append_plane(std::string& bytes, const BitPlane& plane) {
    for (uint32_t word : plane.words) append_u32(bytes, word);
}

}  // namespace grid_test
