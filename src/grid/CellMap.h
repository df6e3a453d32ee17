#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "grid/CellKey.h"

// Hash map from CellKey to the nodes (or leaf blocks) of one level of the
// grid. It has 768 buckets; a key's bucket is the sum of the low 8 bits of its
// three block coordinates, so buckets 766 and 767 stay empty. Each bucket is
// one exactly-sized array of entries: an insert appends at the end of the
// bucket and a removal keeps the order of the others, which makes the order
// of iteration (bucket by bucket, entry by entry) depend only on the history
// of inserts and removals. Saved files list the entries in that order.
template <typename Value>
class CellMap {
public:
    static constexpr uint32_t kBucketCount = 768;
    static constexpr uint32_t kHashBits = 8;

    struct Entry {
        CellKey key;
        Value value;
    };

    class Bucket {
    public:
        uint32_t size() const { return count_; }
        const Entry* begin() const { return entries_.get(); }
        const Entry* end() const { return entries_.get() + count_; }
        Entry* begin() { return entries_.get(); }
        Entry* end() { return entries_.get() + count_; }

    private:
        friend class CellMap;
        std::unique_ptr<Entry[]> entries_;
        uint32_t count_ = 0;
    };

    explicit CellMap(uint32_t level) : buckets_(new Bucket[kBucketCount]), level_(level) {}

    CellMap(CellMap&&) noexcept = default;
    CellMap& operator=(CellMap&&) noexcept = default;

    static uint32_t bucket_of(CellKey key) {
        constexpr uint32_t mask = (1u << kHashBits) - 1u;
        return (key.block_x() & mask) + (key.block_y() & mask) + (key.block_z() & mask);
    }

    uint32_t level() const { return level_; }
    uint32_t size() const { return entry_count_; }
    uint32_t bucket_count() const { return kBucketCount; }
    const Bucket& bucket(uint32_t index) const { return buckets_[index]; }

    // The first entry of the key's bucket with that key, or null.
    Value* find(CellKey key) {
        Bucket& b = buckets_[bucket_of(key)];
        for (Entry& entry : b) {
            if (entry.key == key) return &entry.value;
        }
        return nullptr;
    }
    const Value* find(CellKey key) const { return const_cast<CellMap*>(this)->find(key); }

    // Appends an entry at the end of the key's bucket without looking for an
    // existing entry with the same key. The reference stays valid until the
    // next insert or removal in this map.
    Value& insert(CellKey key, const Value& value) {
        Bucket& b = buckets_[bucket_of(key)];
        std::unique_ptr<Entry[]> grown(new Entry[b.count_ + 1]);
        std::copy(b.begin(), b.end(), grown.get());
        grown[b.count_] = Entry{key, value};
        b.entries_ = std::move(grown);
        ++b.count_;
        ++entry_count_;
        return b.entries_[b.count_ - 1].value;
    }

    // Removes the first entry with that key; false when there is none.
    bool remove(CellKey key) {
        Bucket& b = buckets_[bucket_of(key)];
        const Entry* found = std::find_if(b.begin(), b.end(), [key](const Entry& e) { return e.key == key; });
        if (found == b.end()) return false;
        std::unique_ptr<Entry[]> shrunk(b.count_ > 1 ? new Entry[b.count_ - 1] : nullptr);
        Entry* out = std::copy(static_cast<const Entry*>(b.begin()), found, shrunk.get());
        std::copy(found + 1, static_cast<const Entry*>(b.end()), out);
        b.entries_ = std::move(shrunk);
        --b.count_;
        --entry_count_;
        return true;
    }

    // Appends many entries at once. The map ends up exactly as if each entry
    // had been inserted in turn, but every bucket is reallocated only once, so
    // the cost stays linear however the keys fall into buckets.
    void insert_all(const std::vector<Entry>& entries) {
        std::array<uint32_t, kBucketCount> added{};
        for (const Entry& entry : entries) ++added[bucket_of(entry.key)];
        std::array<Entry*, kBucketCount> next{};
        for (uint32_t i = 0; i < kBucketCount; ++i) {
            if (added[i] == 0) continue;
            Bucket& b = buckets_[i];
            std::unique_ptr<Entry[]> grown(new Entry[b.count_ + added[i]]);
            next[i] = std::copy(b.begin(), b.end(), grown.get());
            b.entries_ = std::move(grown);
        }
        for (const Entry& entry : entries) *next[bucket_of(entry.key)]++ = entry;
        for (uint32_t i = 0; i < kBucketCount; ++i) buckets_[i].count_ += added[i];
        entry_count_ += static_cast<uint32_t>(entries.size());
    }

    // Calls f(entry) for every entry in iteration order.
    template <typename F>
    void for_each(F&& f) const {
        for (uint32_t i = 0; i < kBucketCount; ++i) {
            for (const Entry& entry : buckets_[i]) f(entry);
        }
    }

private:
    std::unique_ptr<Bucket[]> buckets_;
    uint32_t level_ = 0;
    uint32_t entry_count_ = 0;
};
