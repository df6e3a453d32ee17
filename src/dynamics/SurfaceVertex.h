#pragma once

#include <cstdint>
#include <memory>

#include "dynamics/VertexKey.h"
#include "interaction/Vector3.h"

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
// of its surface neighbours. The record is kept small: the voxel coordinates stand in for the key (the key
// width depends on the owning set's level count), and the neighbour array is exactly sized.
class SurfaceVertex {
public:
    // A vertex at rest on its anchor: both position buffers at the anchor, both velocities zero, stamp 0,
    // no neighbours.
    explicit SurfaceVertex(VertexCoordinates voxel);

    VertexCoordinates voxel() const { return VertexCoordinates{x_, y_, z_}; }

    Vector3 anchor() const { return voxel_anchor(voxel()); }

    uint32_t neighbour_count() const { return neighbour_count_; }
    const SurfaceVertex& neighbour(uint32_t i) const { return *neighbours_[i]; }
    // The neighbour array itself; its address changes only when the count does.
    const SurfaceVertex* const* neighbours() const { return neighbours_.get(); }

    // Replaces the neighbour list by a copy of `refs`, reusing the array when the count is unchanged.
    void set_neighbours(uint32_t count, const SurfaceVertex* const* refs);

    // Both position buffers back on the anchor, both velocities zero.
    void reset_to_anchor();

    Vector3 position[2];   // simulated position, double-buffered (see write_buffer)
    Vector3 velocity[2];   // simulated velocity, buffered the same way
    uint32_t mesh_index = 0;  // index in the mesh of the frame named by `stamp`
    uint32_t stamp = 0;       // last frame in which the vertex was emitted; 0 for a new vertex

private:
    std::unique_ptr<const SurfaceVertex*[]> neighbours_;
    uint32_t x_;
    uint32_t y_;
    uint32_t z_;
    uint32_t neighbour_count_ = 0;
};
