#pragma once

#include <cstdint>

#include "dynamics/PhysicsParameters.h"
#include "dynamics/Spring.h"
#include "dynamics/SurfaceVertexSet.h"
#include "math/Vector3.h"

// The step is inline: the limit-surface sweep runs it for every vertex of every frame.

namespace vertex_step_detail {

// a + b * s in double precision, rounded once to float.
inline Vector3 add_scaled(const Vector3& a, const Vector3& b, double s) {
    return Vector3(static_cast<float>(a.x + b.x * s), static_cast<float>(a.y + b.y * s),
                   static_cast<float>(a.z + b.z * s));
}

// Mean of one point per neighbour; the caller makes sure there is at least one neighbour.
template <typename PointOf>
Vector3 neighbour_mean(const SurfaceVertexSet& set, const SurfaceVertex& vertex, PointOf point_of) {
    double x = 0.0, y = 0.0, z = 0.0;
    const VertexIndex* neighbours = set.neighbours(vertex);
    const uint32_t count = vertex.neighbour_count();
    for (uint32_t i = 0; i < count; ++i) {
        const Vector3 p = point_of(set.vertex(neighbours[i]));
        x += p.x;
        y += p.y;
        z += p.z;
    }
    const double n = count;
    return Vector3(static_cast<float>(x / n), static_cast<float>(y / n), static_cast<float>(z / n));
}

}  // namespace vertex_step_detail

// The net force on a vertex from the springs and the drag that `physics` switches on, with the vertex and
// its neighbours (vertices of `set`) read from buffer `read`. A vertex without neighbours feels no neighbour spring.
inline Vector3 vertex_force(const SurfaceVertexSet& set, const SurfaceVertex& vertex, unsigned read,
                            const PhysicsParameters& physics) {
    using vertex_step_detail::add_scaled;
    using vertex_step_detail::neighbour_mean;
    const Vector3& p = vertex.position[read];
    const Vector3& u = vertex.velocity[read];
    const bool has_neighbours = vertex.neighbour_count() > 0;
    Vector3 force;
    if (physics.do_grid_spring) {
        force = spring(p, u, vertex.anchor(), physics.grid_stiffness, physics.grid_damping);
    }
    if (physics.do_dynamic_neighbour_spring && has_neighbours) {
        const Vector3 target =
            neighbour_mean(set, vertex, [read](const SurfaceVertex& n) { return n.position[read]; });
        force = add_scaled(force, spring(p, u, target, physics.neighbour_stiffness, physics.neighbour_damping),
                           1.0);
    }
    if (physics.do_static_neighbour_spring && has_neighbours) {
        const Vector3 target = neighbour_mean(set, vertex, [](const SurfaceVertex& n) { return n.anchor(); });
        force = add_scaled(force, spring(p, u, target, physics.neighbour_stiffness, physics.neighbour_damping),
                           1.0);
    }
    if (physics.do_viscous_drag) {
        force = add_scaled(force, u, -static_cast<double>(physics.viscous_drag));
    }
    return force;
}

// One explicit step of the vertex for frame `frame`: reads buffer read_buffer(frame), writes buffer
// write_buffer(frame) and returns the new position. The position moves with the velocity read at the start
// of the step, the velocity with the force.
inline const Vector3& step_vertex(const SurfaceVertexSet& set, SurfaceVertex& vertex, uint32_t frame,
                                  const PhysicsParameters& physics) {
    using vertex_step_detail::add_scaled;
    const unsigned read = read_buffer(frame);
    const unsigned write = write_buffer(frame);
    const Vector3 force = vertex_force(set, vertex, read, physics);
    const double dt = physics.time_step;
    vertex.velocity[write] = add_scaled(vertex.velocity[read], force, dt);
    vertex.position[write] = add_scaled(vertex.position[read], vertex.velocity[read], dt);
    return vertex.position[write];
}
