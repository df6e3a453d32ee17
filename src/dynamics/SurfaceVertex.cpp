#include "dynamics/SurfaceVertex.h"

SurfaceVertex::SurfaceVertex(VertexCoordinates voxel)
    : x_(voxel.x), y_(voxel.y), z_(voxel.z), neighbour_count_(0) {
    reset_to_anchor();
}

void SurfaceVertex::reset_to_anchor() {
    const Vector3 rest = anchor();
    position[0] = rest;
    position[1] = rest;
    velocity[0] = Vector3();
    velocity[1] = Vector3();
}
