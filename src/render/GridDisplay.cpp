#include "render/GridDisplay.h"

#include <GL/gl.h>

#include <cmath>
#include <iostream>

#include "grid/BoxTraversal.h"
#include "grid/World.h"
#include "render/FacePainter.h"
#include "render/FrameInput.h"
#include "render/FaceReport.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"
#include "render/Textures.h"

namespace {

constexpr float kDefaultTextureScale = 256.0f;

uint32_t frame_counter = 1;

// Texture repeats per voxel unit. A texture scale of 0 (or not a number)
// would make every coordinate infinite; the default scale stands in.
float texture_repeats_per_voxel(float texture_scale) {
    const float repeats = 1.0f / texture_scale;
    return std::isfinite(repeats) ? repeats : 1.0f / kDefaultTextureScale;
}

}  // namespace

void draw_grid_as_squares(const FrameInput& frame) {
    FacePainter plain;
    CountingFacePainter counting;
    const bool count_faces = frame.settings.count_faces;
    FacePainter& painter = count_faces ? counting : plain;
    visit_box_squares(frame.world.grid(), frame.display_box, painter, false);
    painter.finish();
    if (count_faces) squares_face_report().count_display(counting.count(), std::cout);
}

void draw_grid_as_limit_surface(const FrameInput& frame) {
    const FrameSettings& settings = frame.settings;
    const IntBox& box = frame.display_box;
    const bool lit = settings.lighting_on;
    const bool textured = settings.texturing_on;
    const bool fogged = settings.fogging_on;
    SurfaceMesh& mesh = surface_mesh();
    mesh.reset();
    sweep_limit_surface(frame.world, box, mesh, surface_frame(), settings.physics);
    // The texture blend reads the normals too, so they are needed unlit as well.
    if (lit || textured) mesh.compute_normals();
    if (textured) {
        const SurfaceTextures textures = ensure_surface_textures(frame.resources);
        mesh.compute_texture_data(static_cast<float>(box.x0), static_cast<float>(box.y0),
                                  static_cast<float>(box.z0), texture_repeats_per_voxel(settings.texture_scale));
        glDisable(GL_FOG);
        mesh.draw_textured(textures.first, textures.second, lit, fogged);
    } else {
        mesh.draw_plain(lit);
    }
    advance_surface_frame();
    if (settings.count_faces) surface_face_report().count_display(mesh.triangle_count(), std::cout);
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
