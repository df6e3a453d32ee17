#pragma once

#include "dynamics/PhysicsParameters.h"
#include "grid/IntBox.h"
#include "interaction/Viewport.h"

class GridAffector;
class I_ResourceRegistry;
class PrimitiveDrawer;
class View;
class World;

// The settings a frame reads, as they stood when it began.
struct FrameSettings {
    bool clear_buffers = false;
    float clear_colour[3] = {};
    bool wire_grid = false;
    // The squares display switches it off and the limit surface display on
    // while they draw; the frame's owner stores the last value back.
    bool lighting_on = false;
    bool fogging_on = false;
    float fog_colour[3] = {};
    bool additive_blend = false;
    bool squares_display = false;
    bool limit_surface_display = false;
    bool vertex_index_display = false;
    bool hierarchy_containing_focus = false;
    bool count_faces = false;
    bool texturing_on = false;
    float texture_scale = 0.0f;
    PhysicsParameters physics;
};

// Everything one frame draws: the camera, the display box, the world, the
// brush to outline and what it draws with, where textures are registered,
// and the settings.
struct FrameInput {
    const View& view;
    IntBox display_box;
    Viewport viewport;
    World& world;
    const GridAffector& affector;
    PrimitiveDrawer& drawer;
    I_ResourceRegistry& resources;
    FrameSettings settings;
};
