#include "dynamics/SurfaceVertex.h"

#include <algorithm>
#include <utility>

SurfaceVertex::SurfaceVertex(VertexCoordinates voxel) : x_(voxel.x), y_(voxel.y), z_(voxel.z) {
    reset_to_anchor();
}

void SurfaceVertex::set_neighbours(uint32_t count, const SurfaceVertex* const* refs) {
    if (count != neighbour_count_) {
        // Copied before the old array goes, in case `refs` points into it.
        std::unique_ptr<const SurfaceVertex*[]> fresh(count == 0 ? nullptr : new const SurfaceVertex*[count]);
        std::copy(refs, refs + count, fresh.get());
        neighbours_ = std::move(fresh);
        neighbour_count_ = count;
    } else if (refs != neighbours_.get()) {
        std::copy(refs, refs + count, neighbours_.get());
    }
}

void SurfaceVertex::reset_to_anchor() {
    const Vector3 rest = anchor();
    position[0] = rest;
    position[1] = rest;
    velocity[0] = Vector3();
    velocity[1] = Vector3();
}
