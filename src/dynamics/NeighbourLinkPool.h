#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/SurfaceVertex.h"

// The neighbour lists of a vertex set: exactly sized runs of vertex indices carved from pages that never
// move, so a run stays where it is until it is released. A released run goes onto a free list of its
// length and is handed out again for the next run of that length; lists of the surface are at most 26 long,
// so these few lists keep the pool's waste small however lists come and go.
class NeighbourLinkPool {
public:
    static constexpr uint32_t kMaxRun = 26;

    NeighbourLinkPool();

    // A run of `count` (1 .. kMaxRun) indices; its place, for at().
    uint32_t allocate(uint32_t count);
    // Gives back the run at `place` of `count` indices.
    void release(uint32_t place, uint32_t count);
    // Drops every run and the pages.
    void clear();

    VertexIndex* at(uint32_t place) { return pages_[place >> kPageBits].get() + (place & kPageMask); }
    const VertexIndex* at(uint32_t place) const { return pages_[place >> kPageBits].get() + (place & kPageMask); }

    // Bytes held by the pages.
    std::size_t capacity_bytes() const { return pages_.size() * kPageWords * sizeof(VertexIndex); }

private:
    static constexpr uint32_t kPageBits = 16;
    static constexpr uint32_t kPageWords = 1u << kPageBits;
    static constexpr uint32_t kPageMask = kPageWords - 1;
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    std::vector<std::unique_ptr<VertexIndex[]>> pages_;
    uint32_t free_[kMaxRun + 1];  // first free run of each length; each holds the place of the next
    uint64_t next_ = 0;           // first unused place of the last page
    uint64_t page_end_ = 0;       // end of the last page
};
