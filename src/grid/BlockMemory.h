#pragma once

#include <cstddef>

// Memory for the grid maps' entry pages and indexes. Large blocks come
// straight from the system, aligned so that it may back them with huge pages:
// a map of many megabytes then costs a few page faults instead of one per
// 4 KiB, which is most of the time a fresh grid of that size takes to fill
// (as when loading). Small blocks come from the ordinary heap.
class BlockMemory {
public:
    BlockMemory() = default;
    // `bytes` bytes, zeroed when `zeroed`; throws std::bad_alloc when there
    // is no memory. Zeroed large blocks are untouched zero pages, which
    // cost nothing until written.
    BlockMemory(size_t bytes, bool zeroed);
    ~BlockMemory();
    BlockMemory(BlockMemory&& other) noexcept;
    BlockMemory& operator=(BlockMemory&& other) noexcept;
    BlockMemory(const BlockMemory&) = delete;
    BlockMemory& operator=(const BlockMemory&) = delete;

    void* data() const { return data_; }

private:
    void release();

    void* data_ = nullptr;
    size_t bytes_ = 0;
    bool mapped_ = false;
};
