#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "grid/BlockMemory.h"
#include "grid/CellKey.h"

// Hash map from CellKey to the nodes (or leaf blocks) of one level of the
// grid, with an order that saved files follow.
//
// Storage: the entries sit densely in fixed-size pages (appending never moves
// an entry), found through an open-addressing index of 64-bit slots probed
// linearly from a mixing hash of the key, so find, insert and remove take
// expected constant time whatever the keys. A removal moves the last entry
// into the hole.
//
// Order: every entry carries a stamp from a map-wide counter that each insert
// advances. The file order is bucket by bucket (bucket_of: the sum of the low
// 8 bits of the three block coordinates, 0 .. 765), and within a bucket by
// stamp, that is in the order of insertion; a removal keeps the others'
// order. A journal that removed an entry can put it back exactly where it
// was with insert_with_stamp.
//
// Equal keys may be inserted; find and remove then take the earliest one
// still present, and the index keeps them in that order.
template <typename Value>
class CellMap {
public:
    static constexpr uint32_t kBucketCount = 768;
    static constexpr uint32_t kHashBits = 8;

    struct Entry {
        CellKey key;
        Value value;
        uint64_t stamp;
    };

    explicit CellMap(uint32_t level) : level_(level) {}

    // A move changes the layout of both maps: entries of the one moved from
    // are gone, those of the one moved to are new.
    CellMap(CellMap&& other) noexcept
        : blocks_(std::move(other.blocks_)),
          pages_(std::move(other.pages_)),
          slots_block_(std::move(other.slots_block_)),
          slots_(other.slots_),
          slot_mask_(other.slot_mask_),
          slot_bits_(other.slot_bits_),
          level_(other.level_),
          size_(other.size_),
          next_stamp_(other.next_stamp_),
          layout_version_(other.layout_version_ + 1),
          reserved_entries_(other.reserved_entries_) {
        other.forget_entries();
    }
    CellMap& operator=(CellMap&& other) noexcept {
        if (this == &other) return *this;
        blocks_ = std::move(other.blocks_);
        pages_ = std::move(other.pages_);
        slots_block_ = std::move(other.slots_block_);
        slots_ = other.slots_;
        slot_mask_ = other.slot_mask_;
        slot_bits_ = other.slot_bits_;
        level_ = other.level_;
        size_ = other.size_;
        next_stamp_ = other.next_stamp_;
        layout_version_ = std::max(layout_version_, other.layout_version_) + 1;
        reserved_entries_ = other.reserved_entries_;
        other.forget_entries();
        return *this;
    }

    static uint32_t bucket_of(CellKey key) {
        constexpr uint32_t mask = (1u << kHashBits) - 1u;
        return (key.block_x() & mask) + (key.block_y() & mask) + (key.block_z() & mask);
    }

    uint32_t level() const { return level_; }
    uint32_t size() const { return size_; }

    // A number that changes whenever an entry may have moved or been freed
    // (a removal, a clear, a move of the map), and only then: a pointer to
    // an entry taken while it had some value stays valid while it has it.
    // Inserting never moves an entry.
    const uint64_t& layout_version() const { return layout_version_; }

    // The entries in storage order, index 0 .. size() - 1. An index stays
    // valid until the next removal.
    Entry& entry_at(uint32_t index) { return pages_[index >> kPageBits][index & kPageMask]; }
    const Entry& entry_at(uint32_t index) const { return pages_[index >> kPageBits][index & kPageMask]; }

    // The index of the (earliest) entry with that key, or kNone.
    static constexpr uint32_t kNone = 0xFFFFFFFFu;
    uint32_t index_of(CellKey key) const {
        if (size_ == 0) return kNone;
        const uint64_t hash = hash_of(key);
        const uint32_t tag = uint32_t(hash >> 32);
        for (uint32_t slot = home_of(tag);; slot = (slot + 1) & slot_mask_) {
            const uint64_t s = slots_[slot];
            if (s == 0) return kNone;
            if (uint32_t(s >> 32) == tag) {
                const uint32_t index = uint32_t(s) - 1;
                if (entry_at(index).key == key) return index;
            }
        }
    }

    Entry* find_entry(CellKey key) {
        const uint32_t index = index_of(key);
        return index == kNone ? nullptr : &entry_at(index);
    }
    const Entry* find_entry(CellKey key) const { return const_cast<CellMap*>(this)->find_entry(key); }

    Value* find(CellKey key) {
        Entry* entry = find_entry(key);
        return entry ? &entry->value : nullptr;
    }
    const Value* find(CellKey key) const { return const_cast<CellMap*>(this)->find(key); }

    // Adds an entry after every other in its bucket, without looking for an
    // existing entry with the same key. The reference stays valid until the
    // next removal in this map.
    Value& insert(CellKey key, const Value& value) { return insert_with_stamp(key, value, next_stamp_); }

    // Adds an entry at the place in the order that `stamp` gives it: an entry
    // taken out with its stamp and put back this way makes the file order as
    // it was. The stamp must be unused in the map; later inserts stay after it.
    Value& insert_with_stamp(CellKey key, const Value& value, uint64_t stamp) {
        if (stamp >= next_stamp_) next_stamp_ = stamp + 1;
        const uint32_t index = append(key, value, stamp);
        place(key, index);
        return entry_at(index).value;
    }

    // Adds an entry unless one with the key exists already; returns null in
    // that case, the stored value otherwise.
    Value* insert_if_absent(CellKey key, const Value& value) { return insert_if_absent(key, hash_of(key), value); }
    // The same with the key's hash_of known, as after prefetch_slot.
    Value* insert_if_absent(CellKey key, uint64_t hash, const Value& value) {
        reserve_slot();
        const uint32_t tag = uint32_t(hash >> 32);
        uint32_t slot = home_of(tag);
        for (;; slot = (slot + 1) & slot_mask_) {
            const uint64_t s = slots_[slot];
            if (s == 0) break;
            if (uint32_t(s >> 32) == tag && entry_at(uint32_t(s) - 1).key == key) return nullptr;
        }
        const uint32_t index = append(key, value, next_stamp_++);
        slots_[slot] = uint64_t(tag) << 32 | (index + 1);
        return &entry_at(index).value;
    }

    // The hash that places a key in the index.
    static uint64_t hash_of(CellKey key) {
        uint64_t h = key.value() + 0x9E3779B97F4A7C15ull;
        h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
        h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
        return h ^ (h >> 31);
    }

    // Asks the processor to fetch the index slot where a lookup of a key
    // with that hash starts, so that many lookups in a row overlap their
    // memory latency. Does nothing to the map's contents.
    void prefetch_slot(uint64_t hash) const {
        // With an index there are at least 16 slots, so the shift is defined.
        const uint64_t* slots = slots_;
        if (slots != nullptr) prefetch_line(slots + (uint32_t(hash >> 32) >> (32 - slot_bits_)));
    }

    // Asks the processor to fetch the entry that the probe of the hash meets
    // first with the hash's tag, looking no further than a few slots: worth
    // it once the home slot has been fetched with prefetch_slot. Does nothing
    // to the map's contents.
    void prefetch_entry(uint64_t hash) const {
        const uint64_t* slots = slots_;
        if (slots == nullptr) return;
        const uint32_t tag = uint32_t(hash >> 32);
        uint32_t slot = tag >> (32 - slot_bits_);
        for (int looked = 0; looked < 4; ++looked, slot = (slot + 1) & slot_mask_) {
            const uint64_t s = slots[slot];
            if (s == 0) return;
            if (uint32_t(s >> 32) != tag || uint32_t(s) > size_) continue;
            const char* entry = reinterpret_cast<const char*>(&entry_at(uint32_t(s) - 1));
            for (size_t line = 0; line < sizeof(Entry); line += 64) prefetch_line(entry + line);
            return;
        }
    }

    // Sizes the index, and the storage still to be allocated, for `count`
    // entries, so that inserts up to that count do not rebuild the index.
    void reserve(uint64_t count) {
        reserved_entries_ = std::max(reserved_entries_, count);
        reserve_index(count);
    }

    // The stamp the next insert gives.
    uint64_t next_stamp() const { return next_stamp_; }

    // Removes the (earliest) entry with that key; false when there is none.
    bool remove(CellKey key) {
        const uint32_t index = index_of(key);
        if (index == kNone) return false;
        remove_at(index);
        return true;
    }

    // Removes the entry at that storage index; the last entry takes its index.
    void remove_at(uint32_t index) {
        ++layout_version_;
        unplace(index);
        const uint32_t last = size_ - 1;
        if (index != last) {
            repoint(entry_at(last).key, last, index);
            entry_at(index) = entry_at(last);
        }
        size_ = last;
        // One spare page stays, so that an insert and a removal in turn at a
        // block's edge do not allocate every time.
        const size_t pages_in_use = (size_ + kPageMask) >> kPageBits;
        while (!blocks_.empty() && blocks_.back().first_page > pages_in_use) {
            pages_.resize(blocks_.back().first_page);
            blocks_.pop_back();
        }
    }

    void clear() { forget_entries(); }

    // Calls f(entry) for every entry, in storage order.
    template <typename F>
    void for_each(F&& f) const {
        for (uint32_t i = 0; i < size_; ++i) f(entry_at(i));
    }

    // Calls f(entry) for every entry in the file order.
    template <typename F>
    void for_each_in_file_order(F&& f) const {
        for (uint32_t index : file_order()) f(entry_at(index));
    }

    // The storage indices of the entries in the file order.
    std::vector<uint32_t> file_order() const {
        std::vector<uint32_t> start(kBucketCount + 1, 0);
        for (uint32_t i = 0; i < size_; ++i) ++start[bucket_of(entry_at(i).key) + 1];
        for (uint32_t b = 0; b < kBucketCount; ++b) start[b + 1] += start[b];
        std::vector<std::pair<uint64_t, uint32_t>> by_stamp(size_);
        std::vector<uint32_t> next(start.begin(), start.end() - 1);
        for (uint32_t i = 0; i < size_; ++i) {
            const Entry& e = entry_at(i);
            by_stamp[next[bucket_of(e.key)]++] = {e.stamp, i};
        }
        std::vector<uint32_t> order(size_);
        for (uint32_t b = 0; b < kBucketCount; ++b) {
            const auto first = by_stamp.begin() + start[b], last = by_stamp.begin() + start[b + 1];
            if (!std::is_sorted(first, last)) std::sort(first, last);
            for (auto it = first; it != last; ++it) order[size_t(it - by_stamp.begin())] = it->second;
        }
        return order;
    }

    // Bytes held, for measurements.
    size_t memory_bytes() const {
        return pages_.size() * kPageBytes + (slots_ ? (size_t(slot_mask_) + 1) * 8 : 0) +
               pages_.capacity() * sizeof(pages_[0]) + blocks_.capacity() * sizeof(Block);
    }

private:
    static constexpr uint32_t kPageBits = 8;
    static constexpr uint32_t kPageMask = (1u << kPageBits) - 1;

    // The compiler drops some of its own prefetches whose address comes from
    // a load; on x86 the instruction is written out.
    static void prefetch_line(const void* address) {
#if defined(__x86_64__) || defined(__i386__)
        asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
#else
        __builtin_prefetch(address);
#endif
    }

    // The index is zeroed by the allocator: a large one comes as untouched
    // zero pages, which cost nothing until a slot in them is used.


    // A slot holds the top 32 bits of the key's hash and the entry index + 1
    // (0: empty). The home slot is the top bits of the hash, so the slot
    // alone tells where its probe started.
    uint32_t home_of(uint32_t tag) const { return slot_bits_ == 0 ? 0 : tag >> (32 - slot_bits_); }

    // Entries sit in pages of 256. A map growing entry by entry takes one
    // page at a time, so at most one page stands spare; a map that reserved
    // its size (as when loading) takes blocks of as many pages as the
    // reservation still needs, up to 4 MiB, so that a large one is a few
    // large blocks. A page's entries are made as they are appended: the
    // memory of those not yet appended is never written or read.
    static_assert(std::is_trivially_copyable<Entry>::value && std::is_trivially_destructible<Entry>::value,
                  "entries are moved and dropped as bytes");
    static constexpr size_t kPageBytes = sizeof(Entry) << kPageBits;
    static constexpr size_t kBlockBytesAtMost = size_t(4) << 20;
    struct Block {
        BlockMemory memory;
        size_t first_page;
    };

    void add_block() {
        const size_t most = std::max<size_t>(1, kBlockBytesAtMost / kPageBytes);
        const size_t reserved_pages = size_t((reserved_entries_ + kPageMask) >> kPageBits);
        const size_t still_reserved = reserved_pages > pages_.size() ? reserved_pages - pages_.size() : 0;
        const size_t pages = still_reserved > 0 ? std::min(most, still_reserved) : 1;
        Block block{BlockMemory(pages * kPageBytes, false), pages_.size()};
        blocks_.push_back(std::move(block));
        char* memory = static_cast<char*>(blocks_.back().memory.data());
        for (size_t page = 0; page < pages; ++page) pages_.push_back(reinterpret_cast<Entry*>(memory + page * kPageBytes));
    }

    uint32_t append(CellKey key, const Value& value, uint64_t stamp) {
        const uint32_t index = size_;
        if ((index >> kPageBits) == pages_.size()) add_block();
        new (&entry_at(index)) Entry{key, value, stamp};
        ++size_;
        return index;
    }

    // Puts the index of a new entry after every equal key in the probe.
    void place(CellKey key, uint32_t index) {
        reserve_slot();
        const uint32_t tag = uint32_t(hash_of(key) >> 32);
        uint32_t slot = home_of(tag);
        while (slots_[slot] != 0) slot = (slot + 1) & slot_mask_;
        slots_[slot] = uint64_t(tag) << 32 | (index + 1);
    }

    uint32_t slot_holding(CellKey key, uint32_t index) const {
        const uint32_t tag = uint32_t(hash_of(key) >> 32);
        uint32_t slot = home_of(tag);
        while (uint32_t(slots_[slot]) != index + 1) slot = (slot + 1) & slot_mask_;
        return slot;
    }

    void repoint(CellKey key, uint32_t from, uint32_t to) {
        uint64_t& s = slots_[slot_holding(key, from)];
        s = (s & ~uint64_t(0xFFFFFFFFu)) | (to + 1);
    }

    // Empties the slot of the entry at `index`, moving later slots of the
    // probe back so that no probe meets a gap before its entry.
    void unplace(uint32_t index) {
        uint32_t hole = slot_holding(entry_at(index).key, index);
        for (uint32_t slot = (hole + 1) & slot_mask_;; slot = (slot + 1) & slot_mask_) {
            const uint64_t s = slots_[slot];
            if (s == 0) break;
            const uint32_t home = home_of(uint32_t(s >> 32));
            // The slot may move into the hole when its home is not in (hole, slot].
            if (((slot - home) & slot_mask_) >= ((slot - hole) & slot_mask_)) {
                slots_[hole] = s;
                hole = slot;
            }
        }
        slots_[hole] = 0;
    }

    // Makes room for one more slot, keeping at most three quarters in use.
    void reserve_slot() { reserve_index(size_ + 1); }

    void reserve_index(uint64_t count) {
        const uint64_t capacity = slots_ ? uint64_t(slot_mask_) + 1 : 0;
        if (4 * count <= 3 * capacity) return;
        uint32_t bits = std::max<uint32_t>(4, slot_bits_ + 1);
        while (4 * count > 3 * (uint64_t(1) << bits)) ++bits;
        rehash(bits);
    }

    void rehash(uint32_t bits) {
        BlockMemory old_block = std::move(slots_block_);
        const uint64_t* old = slots_;
        const uint32_t old_mask = slot_mask_;
        slots_block_ = BlockMemory(sizeof(uint64_t) << bits, true);
        slots_ = static_cast<uint64_t*>(slots_block_.data());
        slot_bits_ = bits;
        slot_mask_ = (uint32_t(1) << bits) - 1;
        if (!old) return;
        // Walking from an empty slot meets every probe from its start, so
        // equal keys keep their order.
        uint32_t start = 0;
        while (old[start] != 0) ++start;
        for (uint32_t n = 1; n <= old_mask + 1; ++n) {
            const uint64_t s = old[(start + n) & old_mask];
            if (s == 0) continue;
            uint32_t slot = home_of(uint32_t(s >> 32));
            while (slots_[slot] != 0) slot = (slot + 1) & slot_mask_;
            slots_[slot] = s;
        }
    }

    void forget_entries() {
        pages_.clear();
        blocks_.clear();
        slots_block_ = BlockMemory();
        slots_ = nullptr;
        reserved_entries_ = 0;
        slot_mask_ = 0;
        slot_bits_ = 0;
        size_ = 0;
        ++layout_version_;
    }

    std::vector<Block> blocks_;
    std::vector<Entry*> pages_;
    // The index: zeroed, so a large one is touched only where slots are used.
    BlockMemory slots_block_;
    uint64_t* slots_ = nullptr;
    uint32_t slot_mask_ = 0;
    uint32_t slot_bits_ = 0;
    uint32_t level_ = 0;
    uint32_t size_ = 0;
    uint64_t next_stamp_ = 0;
    uint64_t layout_version_ = 0;
    uint64_t reserved_entries_ = 0;  // the largest reserve() since the map was last emptied
};
