#include "core/RenderFrame.h"

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "render/FrameInput.h"
#include "render/FrameRenderer.h"

namespace {

FrameSettings frame_settings(const EditContext& context) {
    FrameSettings settings;
    settings.clear_buffers = context.query_bool(BoolD_ClearBuffers);
    settings.clear_colour[0] = context.query_float(FloatClearR);
    settings.clear_colour[1] = context.query_float(FloatClearG);
    settings.clear_colour[2] = context.query_float(FloatClearB);
    settings.wire_grid = context.query_bool(BoolWireGrid);
    settings.lighting_on = context.query_bool(BoolLightingOn);
    settings.fogging_on = context.query_bool(BoolFoggingOn);
    settings.fog_colour[0] = context.query_float(FloatFogR);
    settings.fog_colour[1] = context.query_float(FloatFogG);
    settings.fog_colour[2] = context.query_float(FloatFogB);
    settings.additive_blend = context.query_bool(BoolDisplayWithAdditiveBlend);
    settings.squares_display = context.query_bool(BoolDisplayGridAsSquares);
    settings.limit_surface_display = context.query_bool(BoolDisplayGridAsLimitMCA);
    settings.vertex_index_display = context.query_bool(BoolDisplayVertIndex);
    settings.hierarchy_containing_focus = context.query_bool(BoolD_HierarchyContainingFocus);
    settings.count_faces = context.query_bool(BoolCountFaces);
    settings.texturing_on = context.query_bool(BoolD_TexturingOn);
    settings.texture_scale = context.query_float(FloatD_TextureScale);
    settings.physics = physics_from_settings(context);
    return settings;
}

}  // namespace

void render_frame(EditContext& context) {
    FrameInput frame{context.view(),
                     context.compute_display_box(),
                     context.viewport(),
                     context.world(),
                     context.current_affector(),
                     context.primitive_drawer(),
                     context,
                     frame_settings(context)};
    draw_frame(frame);
    // The grid displays decide the lighting setting that later frames start from.
    if (frame.settings.squares_display || frame.settings.limit_surface_display) {
        context.set_bool(BoolLightingOn, frame.settings.lighting_on);
    }
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
