#pragma once

#include <cstdint>

#include "dynamics/PhysicsParameters.h"
#include "dynamics/SurfaceVertexSet.h"
#include "math/Vector3.h"

// The net force on a vertex from the springs and the drag that `physics` switches on, with the vertex and
// its neighbours (vertices of `set`) read from buffer `read`. A vertex without neighbours feels no neighbour spring.
Vector3 vertex_force(const SurfaceVertexSet& set, const SurfaceVertex& vertex, unsigned read,
                     const PhysicsParameters& physics);

// One explicit step of the vertex for frame `frame`: reads buffer read_buffer(frame), writes buffer
// write_buffer(frame) and returns the new position. The position moves with the velocity read at the start
// of the step, the velocity with the force.
const Vector3& step_vertex(const SurfaceVertexSet& set, SurfaceVertex& vertex, uint32_t frame,
                           const PhysicsParameters& physics);
