#include "render/GridDisplay.h"

#include <GL/gl.h>

#include <cmath>
#include <iostream>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "grid/BoxTraversal.h"
#include "grid/World.h"
#include "render/FacePainter.h"
#include "render/FaceReport.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"
#include "render/Textures.h"

namespace {

constexpr float kDefaultTextureScale = 256.0f;

uint32_t frame_counter = 1;

// Texture repeats per voxel unit. A texture scale of 0 (or not a number)
// would make every coordinate infinite; the default scale stands in.
float texture_repeats_per_voxel(const EditContext& context) {
    const float texture_scale = context.query_float(FloatD_TextureScale);
    const float repeats = 1.0f / texture_scale;
    return std::isfinite(repeats) ? repeats : 1.0f / kDefaultTextureScale;
}

}  // namespace

void draw_grid_as_squares(EditContext& context, const IntBox& box) {
    FacePainter plain;
    CountingFacePainter counting;
    const bool count_faces = context.query_bool(BoolCountFaces);
    FacePainter& painter = count_faces ? counting : plain;
    visit_box_squares(context.world().grid(), box, painter, false);
    painter.finish();
    if (count_faces) squares_face_report().count_display(counting.count(), std::cout);
}

void draw_grid_as_limit_surface(EditContext& context, const IntBox& box) {
    const bool lit = context.query_bool(BoolLightingOn);
    const bool textured = context.query_bool(BoolD_TexturingOn);
    const bool fogged = context.query_bool(BoolFoggingOn);
    SurfaceMesh& mesh = surface_mesh();
    mesh.reset();
    sweep_limit_surface(context.world(), box, mesh, surface_frame(), physics_from_settings(context));
    // The texture blend reads the normals too, so they are needed unlit as well.
    if (lit || textured) mesh.compute_normals();
    if (textured) {
        const SurfaceTextures textures = ensure_surface_textures(context);
        mesh.compute_texture_data(static_cast<float>(box.x0), static_cast<float>(box.y0),
                                  static_cast<float>(box.z0), texture_repeats_per_voxel(context));
        glDisable(GL_FOG);
        mesh.draw_textured(textures.first, textures.second, lit, fogged);
    } else {
        mesh.draw_plain(lit);
    }
    advance_surface_frame();
    if (context.query_bool(BoolCountFaces)) surface_face_report().count_display(mesh.triangle_count(), std::cout);
}

PhysicsParameters physics_from_settings(const EditContext& context) {
    PhysicsParameters physics;
    physics.do_physics = context.query_bool(BoolP_DoPhysics);
    physics.do_viscous_drag = context.query_bool(BoolP_DoViscousDrag);
    physics.do_grid_spring = context.query_bool(BoolP_DoGridSpring);
    physics.do_dynamic_neighbour_spring = context.query_bool(BoolP_DoDynamicNeighbourSpring);
    physics.do_static_neighbour_spring = context.query_bool(BoolP_DoStaticNeighbourSpring);
    physics.time_step = context.query_float(FloatP_TimeStep);
    physics.viscous_drag = context.query_float(FloatP_ViscousDrag);
    physics.grid_stiffness = context.query_float(FloatP_GridStiffness);
    physics.grid_damping = context.query_float(FloatP_GridDamping);
    physics.neighbour_stiffness = context.query_float(FloatP_NeighbourStiffness);
    physics.neighbour_damping = context.query_float(FloatP_NeighbourDamping);
    return physics;
}

uint32_t surface_frame() {
    return frame_counter;
}

void advance_surface_frame() {
    frame_counter = frame_after(frame_counter);
}

uint32_t frame_after(uint32_t frame) {
    const uint32_t next = frame + 1;
    return next == 0 ? 1 : next;
}
