#include "grid/BlockMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

#if defined(__linux__) && defined(MADV_HUGEPAGE)
// A large block is mapped as whole huge pages: a part of one would be
// backed by small pages.
size_t mapped_length(size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

// A mapping of `bytes` aligned to a huge page, with huge pages asked for
// (only advice: where the system declines, the block works as it is).
void* map_aligned(size_t bytes) {
    const size_t length = mapped_length(bytes);
    void* mapped = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    const uintptr_t end = start + length + kHugePage;
    if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}
#endif

}  // namespace

BlockMemory::BlockMemory(size_t bytes, bool zeroed) : bytes_(bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= kHugePage) {
        data_ = map_aligned(bytes);
        mapped_ = data_ != nullptr;
    }
#endif
    if (data_ == nullptr) data_ = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    if (data_ == nullptr) throw std::bad_alloc();
}

BlockMemory::~BlockMemory() { release(); }

BlockMemory::BlockMemory(BlockMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), bytes_(other.bytes_), mapped_(other.mapped_) {}

BlockMemory& BlockMemory::operator=(BlockMemory&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        bytes_ = other.bytes_;
        mapped_ = other.mapped_;
    }
    return *this;
}

void BlockMemory::release() {
    if (data_ == nullptr) return;
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (mapped_) {
        munmap(data_, mapped_length(bytes_));
        data_ = nullptr;
        return;
    }
#endif
    std::free(data_);
    data_ = nullptr;
}
