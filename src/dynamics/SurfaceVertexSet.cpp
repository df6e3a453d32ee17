#include "dynamics/SurfaceVertexSet.h"

#include "dynamics/VertexStep.h"

namespace {

// The set hands out its vertices for change. That is safe because the order depends only on a vertex's
// voxel coordinates, which never change after construction.
SurfaceVertex& changeable(const SurfaceVertex& vertex) {
    return const_cast<SurfaceVertex&>(vertex);
}

}  // namespace

SurfaceVertexSet::SurfaceVertexSet(uint32_t levels) : levels_(levels), key_bits_(key_bits_for_levels(levels)) {}

VertexKey SurfaceVertexSet::make_key(uint32_t x, uint32_t y, uint32_t z) const {
    return pack_vertex_key(VertexCoordinates{x, y, z}, key_bits_);
}

VertexCoordinates SurfaceVertexSet::split_key(VertexKey key) const {
    return unpack_vertex_key(key, key_bits_);
}

VertexKey SurfaceVertexSet::key_of(const SurfaceVertex& vertex) const {
    return pack_vertex_key(vertex.voxel(), key_bits_);
}

SurfaceVertex* SurfaceVertexSet::find_voxel(const VertexCoordinates& voxel) {
    const auto it = vertices_.find(voxel);
    return it == vertices_.end() ? nullptr : &changeable(*it);
}

SurfaceVertex* SurfaceVertexSet::find(VertexKey key) {
    return find_voxel(split_key(key));
}

const SurfaceVertex* SurfaceVertexSet::find(VertexKey key) const {
    const auto it = vertices_.find(split_key(key));
    return it == vertices_.end() ? nullptr : &*it;
}

SurfaceVertex& SurfaceVertexSet::find_or_create(VertexKey key) {
    const VertexCoordinates voxel = split_key(key);
    auto it = vertices_.lower_bound(voxel);
    if (it == vertices_.end() || !(it->voxel() == voxel)) {
        it = vertices_.emplace_hint(it, voxel);
    }
    return changeable(*it);
}

SurfaceVertex& SurfaceVertexSet::set_vertex(VertexKey key, uint32_t count, const SurfaceVertex* const* neighbours) {
    SurfaceVertex& vertex = find_or_create(key);
    vertex.set_neighbours(count, neighbours);
    return vertex;
}

void SurfaceVertexSet::erase(VertexKey key) {
    const auto it = vertices_.find(split_key(key));
    if (it != vertices_.end()) {
        vertices_.erase(it);
    }
}

void SurfaceVertexSet::clear() {
    vertices_.clear();
}

void SurfaceVertexSet::snap_to_voxels() {
    for (const SurfaceVertex& vertex : vertices_) {
        changeable(vertex).reset_to_anchor();
    }
}

uint32_t SurfaceVertexSet::advance_and_emit(uint32_t x, uint32_t y, uint32_t z, uint32_t frame,
                                            MeshVertexSink& mesh, const PhysicsParameters& physics) {
    const VertexCoordinates voxel = split_key(make_key(x, y, z));
    SurfaceVertex* vertex = find_voxel(voxel);
    if (vertex == nullptr) {
        return mesh.add_vertex(voxel_anchor(voxel));
    }
    if (vertex->stamp == frame) {
        return vertex->mesh_index;
    }
    const Vector3& shown =
        physics.do_physics ? step_vertex(*vertex, frame, physics) : vertex->position[read_buffer(frame)];
    vertex->mesh_index = mesh.add_vertex(shown);
    vertex->stamp = frame;
    return vertex->mesh_index;
}
