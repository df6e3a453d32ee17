#include "dynamics/SurfaceVertexSet.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <tuple>

#include "dynamics/MixingHash.h"
#include "dynamics/VertexStep.h"

namespace {

constexpr uint32_t kFirstTableBits = 4;

std::atomic<uint64_t> last_layout_stamp{0};

}  // namespace

SurfaceVertexSet::SurfaceVertexSet(uint32_t levels)
    : seed_(process_hash_seed()), levels_(levels), key_bits_(key_bits_for_levels(levels)) {
    coordinate_mask_ = key_bits_ >= 32 ? 0xFFFFFFFFu : (1u << key_bits_) - 1;
    reset_table(kFirstTableBits);
}

void SurfaceVertexSet::reset_table(uint32_t bits) {
    const std::size_t size = std::size_t(1) << bits;
    table_.reset(new Slot[size]);
    std::fill(table_.get(), table_.get() + size, Slot{kNoVertexIndex, 0});
    table_bits_ = bits;
    table_mask_ = size - 1;
}

VertexKey SurfaceVertexSet::make_key(uint32_t x, uint32_t y, uint32_t z) const {
    return pack_vertex_key(VertexCoordinates{x, y, z}, key_bits_);
}

VertexCoordinates SurfaceVertexSet::split_key(VertexKey key) const {
    return unpack_vertex_key(key, key_bits_);
}

VertexKey SurfaceVertexSet::key_of(const SurfaceVertex& vertex) const {
    return pack_vertex_key(vertex.voxel(), key_bits_);
}

uint32_t SurfaceVertexSet::tag_of(const VertexCoordinates& voxel) const {
    return static_cast<uint32_t>(hash_coordinates(voxel.x, voxel.y, voxel.z, seed_) >> 32);
}

std::size_t SurfaceVertexSet::slot_of(const VertexCoordinates& voxel, uint32_t tag) const {
    std::size_t slot = home_of(tag);
    for (;;) {
        const Slot& entry = table_[slot];
        if (entry.index == kNoVertexIndex) return slot;
        if (entry.tag == tag) {
            const SurfaceVertex& v = vertex(entry.index);
            if (v.x_ == voxel.x && v.y_ == voxel.y && v.z_ == voxel.z) return slot;
        }
        slot = (slot + 1) & table_mask_;
    }
}

VertexIndex SurfaceVertexSet::index_at(uint32_t x, uint32_t y, uint32_t z) const {
    const VertexCoordinates voxel{x & coordinate_mask_, y & coordinate_mask_, z & coordinate_mask_};
    return table_[slot_of(voxel)].index;
}

void SurfaceVertexSet::indices_at(const VertexCoordinates* voxels, std::size_t count, VertexIndex* found) const {
    // A probe waits for its table line and then for the record its tag points at: the lines of the voxel
    // kAhead on are fetched, and the record of the one half as far on.
    constexpr std::size_t kAhead = 16;
    std::vector<uint32_t> tags(count);
    auto wrapped = [this](const VertexCoordinates& p) {
        return VertexCoordinates{p.x & coordinate_mask_, p.y & coordinate_mask_, p.z & coordinate_mask_};
    };
    for (std::size_t i = 0; i < count; ++i) tags[i] = tag_of(wrapped(voxels[i]));
    for (std::size_t i = 0; i < count && i < kAhead; ++i) __builtin_prefetch(&table_[home_of(tags[i])]);
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kAhead < count) __builtin_prefetch(&table_[home_of(tags[i + kAhead])]);
        if (i + kAhead / 2 < count) {
            const Slot& slot = table_[home_of(tags[i + kAhead / 2])];
            if (slot.index != kNoVertexIndex) __builtin_prefetch(&vertex(slot.index));
        }
        found[i] = table_[slot_of(wrapped(voxels[i]), tags[i])].index;
    }
}

VertexIndex SurfaceVertexSet::find_index(VertexKey key) const {
    return table_[slot_of(split_key(key))].index;
}

SurfaceVertex* SurfaceVertexSet::find(VertexKey key) {
    const VertexIndex index = find_index(key);
    return index == kNoVertexIndex ? nullptr : &vertex(index);
}

const SurfaceVertex* SurfaceVertexSet::find(VertexKey key) const {
    const VertexIndex index = find_index(key);
    return index == kNoVertexIndex ? nullptr : &vertex(index);
}

VertexIndex SurfaceVertexSet::new_record(const VertexCoordinates& voxel) {
    VertexIndex index = free_record_;
    if (index != kNoVertexIndex) {
        free_record_ = vertex(index).links_;
    } else {
        if (slots_used_ == kNoVertexIndex) throw std::length_error("surface vertex set full");
        if ((slots_used_ & kPageMask) == 0) pages_.emplace_back(new SurfaceVertex[kPageSize]);
        index = slots_used_++;
    }
    vertex(index) = SurfaceVertex(voxel);
    return index;
}

void SurfaceVertexSet::grow_table() {
    const std::unique_ptr<Slot[]> old = std::move(table_);
    const std::size_t old_size = table_mask_ + 1;
    reset_table(table_bits_ + 1);
    for (std::size_t i = 0; i < old_size; ++i) {
        if (old[i].index == kNoVertexIndex) continue;
        std::size_t slot = home_of(old[i].tag);
        while (table_[slot].index != kNoVertexIndex) slot = (slot + 1) & table_mask_;
        table_[slot] = old[i];
    }
}

void SurfaceVertexSet::make_room(std::size_t count) {
    while ((size_ + count) * 4 > (table_mask_ + 1) * 3) {
        if (table_bits_ == 32) throw std::length_error("surface vertex set full");
        grow_table();
    }
}

VertexIndex SurfaceVertexSet::insert_at(std::size_t slot, const VertexCoordinates& voxel, uint32_t tag) {
    const VertexIndex index = new_record(voxel);
    table_[slot] = Slot{index, tag};
    ++size_;
    layout_stamp_ = 0;
    return index;
}

VertexIndex SurfaceVertexSet::find_or_create_index(VertexKey key) {
    const VertexCoordinates voxel = split_key(key);
    const uint32_t tag = tag_of(voxel);
    const std::size_t slot = slot_of(voxel, tag);
    if (table_[slot].index != kNoVertexIndex) return table_[slot].index;
    make_room(1);
    return insert_at(slot_of(voxel, tag), voxel, tag);
}

void SurfaceVertexSet::find_or_create_indices(const VertexCoordinates* points, std::size_t count,
                                              VertexIndex* found) {
    make_room(count);
    tags_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const VertexCoordinates& p = points[i];
        tags_[i] = tag_of(VertexCoordinates{p.x & coordinate_mask_, p.y & coordinate_mask_, p.z & coordinate_mask_});
        __builtin_prefetch(&table_[home_of(tags_[i])]);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const VertexCoordinates& p = points[i];
        const VertexCoordinates voxel{p.x & coordinate_mask_, p.y & coordinate_mask_, p.z & coordinate_mask_};
        const std::size_t slot = slot_of(voxel, tags_[i]);
        found[i] = table_[slot].index != kNoVertexIndex ? table_[slot].index : insert_at(slot, voxel, tags_[i]);
    }
}

void SurfaceVertexSet::set_neighbours(VertexIndex index, uint32_t count, const VertexIndex* neighbours) {
    SurfaceVertex& v = vertex(index);
    if (count != v.neighbour_count_) {
        // The new run is filled before the old one goes, in case `neighbours` points into it.
        const uint32_t place = count == 0 ? 0 : links_.allocate(count);
        if (count != 0) std::copy(neighbours, neighbours + count, links_.at(place));
        if (v.neighbour_count_ != 0) links_.release(v.links_, v.neighbour_count_);
        v.links_ = place;
        v.neighbour_count_ = count;
    } else if (count != 0 && neighbours != links_.at(v.links_)) {
        std::copy(neighbours, neighbours + count, links_.at(v.links_));
    }
}

SurfaceVertex& SurfaceVertexSet::set_vertex(VertexKey key, uint32_t count, const VertexIndex* neighbours) {
    const VertexIndex index = find_or_create_index(key);
    set_neighbours(index, count, neighbours);
    return vertex(index);
}

void SurfaceVertexSet::erase_slot(std::size_t slot) {
    // Backward shift: later entries of the probe run move up, so no search ever stops at a hole it should
    // have passed.
    std::size_t hole = slot;
    table_[hole].index = kNoVertexIndex;
    for (std::size_t next = (hole + 1) & table_mask_; table_[next].index != kNoVertexIndex;
         next = (next + 1) & table_mask_) {
        const std::size_t home = home_of(table_[next].tag);
        // The entry may move into the hole when its home does not lie cyclically in (hole, next].
        const bool stays = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
        if (stays) continue;
        table_[hole] = table_[next];
        table_[next].index = kNoVertexIndex;
        hole = next;
    }
}

void SurfaceVertexSet::erase(VertexKey key) {
    const std::size_t slot = slot_of(split_key(key));
    const VertexIndex index = table_[slot].index;
    if (index == kNoVertexIndex) return;
    erase_slot(slot);
    SurfaceVertex& v = vertex(index);
    if (v.neighbour_count_ != 0) links_.release(v.links_, v.neighbour_count_);
    v.neighbour_count_ = SurfaceVertex::kFreeSlot;
    v.links_ = free_record_;
    free_record_ = index;
    --size_;
    layout_stamp_ = 0;
}

void SurfaceVertexSet::clear() {
    pages_.clear();
    slots_used_ = 0;
    free_record_ = kNoVertexIndex;
    size_ = 0;
    reset_table(kFirstTableBits);
    links_.clear();
    layout_stamp_ = 0;
}

uint64_t SurfaceVertexSet::layout_stamp() const {
    if (layout_stamp_ == 0) layout_stamp_ = ++last_layout_stamp;
    return layout_stamp_;
}

void SurfaceVertexSet::snap_to_voxels() {
    for (VertexIndex i = 0; i < slots_used_; ++i) {
        SurfaceVertex& v = vertex(i);
        if (!v.is_free()) v.reset_to_anchor();
    }
}

std::vector<VertexIndex> SurfaceVertexSet::key_order() const {
    std::vector<VertexIndex> order;
    order.reserve(size_);
    for (auto it = begin(); it != end(); ++it) order.push_back(it.index());
    sort_by_key(order);
    return order;
}

void SurfaceVertexSet::sort_by_key(std::vector<VertexIndex>& indices) const {
    // Sorting copies of the coordinates keeps the comparisons off the scattered records.
    struct Entry {
        uint32_t x, y, z;
        VertexIndex index;
    };
    std::vector<Entry> entries;
    entries.reserve(indices.size());
    for (const VertexIndex index : indices) {
        const VertexCoordinates c = vertex(index).voxel();
        entries.push_back(Entry{c.x, c.y, c.z, index});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z); });
    for (std::size_t i = 0; i < entries.size(); ++i) indices[i] = entries[i].index;
}

std::size_t SurfaceVertexSet::memory_bytes() const {
    return pages_.size() * kPageSize * sizeof(SurfaceVertex) + links_.capacity_bytes() +
           (table_mask_ + 1) * sizeof(Slot);
}

uint32_t SurfaceVertexSet::advance_and_emit(uint32_t x, uint32_t y, uint32_t z, uint32_t frame,
                                            MeshVertexSink& mesh, const PhysicsParameters& physics) {
    return advance_and_emit(index_at(x, y, z), x, y, z, frame, mesh, physics);
}

uint32_t SurfaceVertexSet::advance_and_emit(VertexIndex index, uint32_t x, uint32_t y, uint32_t z, uint32_t frame,
                                            MeshVertexSink& mesh, const PhysicsParameters& physics) {
    if (index == kNoVertexIndex) return mesh.add_vertex(bare_anchor(x, y, z));
    SurfaceVertex& v = vertex(index);
    if (v.stamp == frame) {
        return v.mesh_index;
    }
    const Vector3& shown = physics.do_physics ? step_vertex(*this, v, frame, physics) : v.position[read_buffer(frame)];
    v.mesh_index = mesh.add_vertex(shown);
    v.stamp = frame;
    return v.mesh_index;
}

uint32_t SurfaceVertexSet::advance_and_emit_run(const VertexIndex* indices, uint32_t count, uint32_t frame,
                                                const PhysicsParameters& physics, uint32_t first_mesh_index,
                                                float* positions, uint32_t* mesh_indices) {
    const unsigned read = read_buffer(frame);
    uint32_t written = 0;
    for (uint32_t i = 0; i < count; ++i) {
        SurfaceVertex& v = vertex(indices[i]);
        if (v.stamp != frame) {
            const Vector3& shown = physics.do_physics ? step_vertex(*this, v, frame, physics) : v.position[read];
            float* out = positions + 4 * size_t(written);
            out[0] = shown.x;
            out[1] = shown.y;
            out[2] = shown.z;
            out[3] = 0.0f;
            v.mesh_index = first_mesh_index + written++;
            v.stamp = frame;
        }
        mesh_indices[i] = v.mesh_index;
    }
    return written;
}
