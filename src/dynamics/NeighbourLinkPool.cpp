#include "dynamics/NeighbourLinkPool.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

NeighbourLinkPool::NeighbourLinkPool() {
    std::fill(std::begin(free_), std::end(free_), kNone);
}

uint32_t NeighbourLinkPool::allocate(uint32_t count) {
    if (free_[count] != kNone) {
        const uint32_t place = free_[count];
        free_[count] = *at(place);
        return place;
    }
    if (next_ + count > page_end_) {
        // The rest of the last page stays unused: at most kMaxRun - 1 indices per page.
        if (pages_.size() >= (uint64_t{1} << (32 - kPageBits))) throw std::length_error("neighbour link pool full");
        pages_.emplace_back(new VertexIndex[kPageWords]);
        next_ = uint64_t{pages_.size() - 1} << kPageBits;
        page_end_ = next_ + kPageWords;
    }
    const uint32_t place = static_cast<uint32_t>(next_);
    next_ += count;
    return place;
}

void NeighbourLinkPool::release(uint32_t place, uint32_t count) {
    *at(place) = free_[count];
    free_[count] = place;
}

void NeighbourLinkPool::clear() {
    pages_.clear();
    std::fill(std::begin(free_), std::end(free_), kNone);
    next_ = 0;
    page_end_ = 0;
}
