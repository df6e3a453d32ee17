#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "dynamics/MeshVertexSink.h"
#include "dynamics/NeighbourLinkPool.h"
#include "dynamics/PhysicsParameters.h"
#include "dynamics/SurfaceVertex.h"
#include "dynamics/VertexKey.h"

// The simulated surface vertices of one grid, unique by key. Records sit in pages of fixed size that never
// move, so a vertex keeps its address and its index (VertexIndex) while others are added and erased; an
// erased record's slot is reused by a later vertex. A hash table of indices, open addressing on a mixing
// hash of the voxel coordinates, finds a vertex by key in expected constant time whatever the keys.
// Neighbours are held as indices. Erasing a vertex that is still someone's neighbour leaves that index
// naming a free (or reused) slot; the surface upkeep relinks the neighbours first.
//
// Iteration (begin/end) runs in storage order, which depends on the history of edits; key_order() gives
// the ascending key order where that is what a walk shows.
class SurfaceVertexSet {
public:
    class const_iterator;

    // An empty set for a grid of `levels` levels, which fixes the key width.
    explicit SurfaceVertexSet(uint32_t levels);
    SurfaceVertexSet(const SurfaceVertexSet&) = delete;
    SurfaceVertexSet& operator=(const SurfaceVertexSet&) = delete;

    uint32_t levels() const { return levels_; }

    VertexKey make_key(uint32_t x, uint32_t y, uint32_t z) const;
    VertexCoordinates split_key(VertexKey key) const;
    VertexKey key_of(const SurfaceVertex& vertex) const;

    // The vertex of the key, or null.
    SurfaceVertex* find(VertexKey key);
    const SurfaceVertex* find(VertexKey key) const;
    // The index of the key's vertex, or kNoVertexIndex.
    VertexIndex find_index(VertexKey key) const;

    // The vertex of the key, made at rest on its anchor with no neighbours when there is none.
    SurfaceVertex& find_or_create(VertexKey key) { return vertex(find_or_create_index(key)); }
    VertexIndex find_or_create_index(VertexKey key);
    // find_or_create_index for many points at once, their indices to `found`. The table lines are fetched
    // ahead of the probes, which makes this much faster than one call per point in a big set.
    void find_or_create_indices(const VertexCoordinates* points, std::size_t count, VertexIndex* found);

    // Gives the key's vertex (made as find_or_create does when missing) a copy of the `count` neighbours at
    // `neighbours`. An existing vertex keeps its position, velocity and stamp, and keeps its neighbour run
    // when the count is unchanged.
    SurfaceVertex& set_vertex(VertexKey key, uint32_t count, const VertexIndex* neighbours);
    // The same for a vertex found already.
    void set_neighbours(VertexIndex index, uint32_t count, const VertexIndex* neighbours);

    // Removes and destroys the key's vertex, if there is one.
    void erase(VertexKey key);

    // Destroys every vertex.
    void clear();

    // Puts every vertex back on its anchor at rest.
    void snap_to_voxels();

    // Advances the vertex at voxel (x, y, z) by one step in frame `frame` (unless it already was in that
    // frame), appends its position to `mesh` and returns the mesh index. With physics off the vertex is not
    // moved and its position from the read buffer is shown.
    //
    // A voxel without a vertex means the surface upkeep missed a point. Drawing then goes on through the
    // voxel's anchor, appended afresh on each such call, and the set is left unchanged: the display never
    // alters the model.
    uint32_t advance_and_emit(uint32_t x, uint32_t y, uint32_t z, uint32_t frame, MeshVertexSink& mesh,
                              const PhysicsParameters& physics);
    // The same for the vertex at `index`, as index_at gave it (kNoVertexIndex: none at that voxel).
    uint32_t advance_and_emit(VertexIndex index, uint32_t x, uint32_t y, uint32_t z, uint32_t frame,
                              MeshVertexSink& mesh, const PhysicsParameters& physics);

    // advance_and_emit for the vertices at indices[0 .. count), one after the other (none kNoVertexIndex),
    // without a mesh: each one's mesh index goes to `mesh_indices`, and the vertices not yet emitted in
    // this frame are numbered from `first_mesh_index` on, their positions written to `positions` as
    // (x, y, z, 0), which has room for `count` of them. Returns how many were written.
    uint32_t advance_and_emit_run(const VertexIndex* indices, uint32_t count, uint32_t frame,
                                  const PhysicsParameters& physics, uint32_t first_mesh_index, float* positions,
                                  uint32_t* mesh_indices);

    // Where a voxel is shown that has no vertex: its anchor, the coordinates wrapped as keys wrap them.
    Vector3 bare_anchor(uint32_t x, uint32_t y, uint32_t z) const {
        return voxel_anchor(VertexCoordinates{x & coordinate_mask_, y & coordinate_mask_, z & coordinate_mask_});
    }

    // The index of the vertex at voxel (x, y, z), or kNoVertexIndex.
    VertexIndex index_at(uint32_t x, uint32_t y, uint32_t z) const;
    // index_at for many voxels at once, their indices to `found`. The table lines and then the records are
    // fetched ahead of the probes, which spares most of the waits of one call per voxel in a big set.
    void indices_at(const VertexCoordinates* voxels, std::size_t count, VertexIndex* found) const;

    // The vertex at an index that names a vertex of the set.
    SurfaceVertex& vertex(VertexIndex index) { return pages_[index >> kPageBits][index & kPageMask]; }
    const SurfaceVertex& vertex(VertexIndex index) const { return pages_[index >> kPageBits][index & kPageMask]; }

    // The neighbour indices of a vertex of the set, neighbour_count() of them.
    const VertexIndex* neighbours(const SurfaceVertex& v) const {
        return v.neighbour_count_ == 0 ? nullptr : links_.at(v.links_);
    }
    const SurfaceVertex& neighbour(const SurfaceVertex& v, uint32_t i) const { return vertex(neighbours(v)[i]); }

    // The indices of every vertex, in ascending key order.
    std::vector<VertexIndex> key_order() const;
    // Puts indices of vertices of the set into ascending key order.
    void sort_by_key(std::vector<VertexIndex>& indices) const;

    // A number that names the set's layout: it changes whenever a vertex is added or removed, and no two
    // sets share one. While it stays the same, index_at gives the same answers.
    uint64_t layout_stamp() const;

    std::size_t size() const { return size_; }
    // Every index of a vertex of the set is below this.
    VertexIndex index_limit() const { return slots_used_; }
    bool empty() const { return size_ == 0; }

    // Bytes held by the records, the neighbour runs and the index table.
    std::size_t memory_bytes() const;

    const_iterator begin() const;
    const_iterator end() const;

private:
    static constexpr uint32_t kPageBits = 12;
    static constexpr uint32_t kPageSize = 1u << kPageBits;
    static constexpr uint32_t kPageMask = kPageSize - 1;

    // A slot of the index table: a vertex index and the upper half of its key's hash, whose top bits name
    // the slot the entry belongs in and whose rest spares most probes a look at the record.
    struct Slot {
        VertexIndex index;
        uint32_t tag;
    };

    uint32_t tag_of(const VertexCoordinates& voxel) const;
    std::size_t home_of(uint32_t tag) const { return tag >> (32 - table_bits_); }
    // The table slot holding the voxel's index, or the empty slot where it would go.
    std::size_t slot_of(const VertexCoordinates& voxel, uint32_t tag) const;
    std::size_t slot_of(const VertexCoordinates& voxel) const { return slot_of(voxel, tag_of(voxel)); }
    VertexIndex new_record(const VertexCoordinates& voxel);
    // Grows the table so that `count` more entries keep it at most three quarters full.
    void make_room(std::size_t count);
    // Adds the entry of a voxel found missing at `slot`.
    VertexIndex insert_at(std::size_t slot, const VertexCoordinates& voxel, uint32_t tag);
    void reset_table(uint32_t bits);
    void grow_table();
    void erase_slot(std::size_t slot);

    std::vector<std::unique_ptr<SurfaceVertex[]>> pages_;
    uint32_t slots_used_ = 0;                  // records handed out so far, live or free
    VertexIndex free_record_ = kNoVertexIndex;  // first free record; each names the next in its link field
    std::size_t size_ = 0;

    std::unique_ptr<Slot[]> table_;  // an index of kNoVertexIndex marks an empty slot
    uint32_t table_bits_ = 0;        // the table has 2^table_bits_ slots
    std::size_t table_mask_ = 0;
    uint64_t seed_;
    uint32_t coordinate_mask_;

    NeighbourLinkPool links_;
    mutable uint64_t layout_stamp_ = 0;  // 0: the layout changed since a stamp was last handed out
    std::vector<uint32_t> tags_;  // find_or_create_indices' scratch
    uint32_t levels_;
    uint32_t key_bits_;
};

// Walks the live records in storage order.
class SurfaceVertexSet::const_iterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = SurfaceVertex;
    using difference_type = std::ptrdiff_t;
    using pointer = const SurfaceVertex*;
    using reference = const SurfaceVertex&;

    const_iterator(const SurfaceVertexSet* set, VertexIndex index) : set_(set), index_(index) { skip_free(); }

    reference operator*() const { return set_->vertex(index_); }
    pointer operator->() const { return &set_->vertex(index_); }
    const_iterator& operator++() {
        ++index_;
        skip_free();
        return *this;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }
    bool operator!=(const const_iterator& other) const { return index_ != other.index_; }

    // The index of the vertex at the iterator.
    VertexIndex index() const { return index_; }

private:
    void skip_free() {
        while (index_ < set_->slots_used_ && set_->vertex(index_).is_free()) ++index_;
    }

    const SurfaceVertexSet* set_;
    VertexIndex index_;
};

inline SurfaceVertexSet::const_iterator SurfaceVertexSet::begin() const {
    return const_iterator(this, 0);
}
inline SurfaceVertexSet::const_iterator SurfaceVertexSet::end() const {
    return const_iterator(this, slots_used_);
}
