#pragma once

#include <cstdint>

#include "dynamics/VertexKey.h"
#include "math/Vector3.h"

// The place of a vertex in its set's storage. It stays the same while the vertex exists; neighbour links
// are held as these.
using VertexIndex = uint32_t;
constexpr VertexIndex kNoVertexIndex = 0xFFFFFFFFu;

// The buffer a step in frame `frame` writes, and the one it reads. Alternating by the frame's parity lets a
// step read its neighbours' state from before this frame whether or not they were already advanced in it.
inline unsigned write_buffer(uint32_t frame) {
    return frame & 1u;
}
inline unsigned read_buffer(uint32_t frame) {
    return 1u - (frame & 1u);
}

// The lower corner of a voxel in world coordinates: where the grid spring pulls the voxel's vertex.
inline Vector3 voxel_anchor(const VertexCoordinates& voxel) {
    return Vector3(static_cast<float>(voxel.x), static_cast<float>(voxel.y), static_cast<float>(voxel.z));
}

// One simulated point of the limit surface, living at a solid voxel (its anchor) and linked to the vertices
// of its surface neighbours. The record is kept small and flat: the voxel coordinates stand in for the key
// (the key width depends on the owning set's level count), and the neighbours are indices into the owning
// set, whose link pool holds them in an exactly sized run.
class SurfaceVertex {
public:
    // A vertex at rest on its anchor: both position buffers at the anchor, both velocities zero, stamp 0,
    // no neighbours.
    explicit SurfaceVertex(VertexCoordinates voxel);

    VertexCoordinates voxel() const { return VertexCoordinates{x_, y_, z_}; }

    Vector3 anchor() const { return voxel_anchor(voxel()); }

    uint32_t neighbour_count() const { return neighbour_count_; }

    // Both position buffers back on the anchor, both velocities zero.
    void reset_to_anchor();

    Vector3 position[2];   // simulated position, double-buffered (see write_buffer)
    Vector3 velocity[2];   // simulated velocity, buffered the same way
    uint32_t mesh_index = 0;  // index in the mesh of the frame named by `stamp`
    uint32_t stamp = 0;       // last frame in which the vertex was emitted; 0 for a new vertex

private:
    friend class SurfaceVertexSet;

    // A free slot of the set's storage.
    SurfaceVertex() = default;

    static constexpr uint32_t kFreeSlot = 0xFFFFFFFFu;
    bool is_free() const { return neighbour_count_ == kFreeSlot; }

    uint32_t x_ = 0;
    uint32_t y_ = 0;
    uint32_t z_ = 0;
    uint32_t links_ = 0;  // where the neighbour indices start in the set's link pool; a free slot: the next one
    uint32_t neighbour_count_ = kFreeSlot;
};
