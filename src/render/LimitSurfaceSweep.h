#pragma once

#include <cstdint>
#include <vector>

#include "dynamics/PhysicsParameters.h"
#include "dynamics/SurfaceVertexSet.h"
#include "grid/IntBox.h"
#include "grid/VoxelGrid.h"
#include "render/SurfaceMesh.h"

class World;

// What the sweep of a box yields apart from the vertices' positions: the mesh
// vertices in the order they are numbered, each a vertex of the set or
// (kNoVertexIndex) a voxel the set has no vertex for, and the triangles'
// corners as numbers into that list, three per triangle.
struct LimitSurfacePlan {
    std::vector<VertexIndex> vertices;
    std::vector<VertexCoordinates> bare_voxels;  // the voxels of the kNoVertexIndex entries, in order
    std::vector<uint32_t> corners;

    void clear() {
        vertices.clear();
        bare_voxels.clear();
        corners.clear();
    }
};

// Appends to `mesh` the limit surface of the cubes inside `box`: every cube of
// 2 x 2 x 2 voxels whose voxels all lie in the box, visited with its highest
// corner running y (outer), then x, then z (inner), each adding the
// triangles of its case in table order. A triangle corner becomes a mesh
// vertex through the vertex set's advance_and_emit for frame `frame`, which
// also advances the vertex by one step of `physics`; a voxel shared by many
// cubes is one mesh vertex.
//
// The plan of the last sweep on this thread is kept and used again while the
// box, the voxels in it and the vertex set's layout stay the same (a frame
// without edits then costs the vertex steps and the copying). Voxels outside
// the box are never looked at: the surface is open where it meets the box. A
// box that is reversed or reaches outside the grid adds nothing.
void sweep_limit_surface(const VoxelGrid& grid, SurfaceVertexSet& vertices, const IntBox& box, SurfaceMesh& mesh,
                         uint32_t frame, const PhysicsParameters& physics);

// The same over the world's grid and vertex set.
void sweep_limit_surface(World& world, const IntBox& box, SurfaceMesh& mesh, uint32_t frame,
                         const PhysicsParameters& physics);

// The two halves of a sweep. plan_limit_surface replaces `plan` with the
// mesh vertices and triangles of the box's cubes, touching no vertex.
// The box is read a layer at a time as bit rows along z, and the cubes that
// are neither wholly solid nor wholly clear are found a word of a column at a
// time, so the cost follows the surface more than the volume.
void plan_limit_surface(const VoxelGrid& grid, const SurfaceVertexSet& vertices, const IntBox& box,
                        LimitSurfacePlan& plan);
// Emits the plan's vertices in order through advance_and_emit, then its
// triangles with the mesh indices that gave.
void emit_limit_surface(const LimitSurfacePlan& plan, SurfaceVertexSet& vertices, SurfaceMesh& mesh, uint32_t frame,
                        const PhysicsParameters& physics);
