#include "render/FrameRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "grid/GridAffector.h"
#include "grid/World.h"
#include "interaction/View.h"
#include "math/VoxelIndex.h"
#include "render/Connectivity.h"
#include "render/FrameInput.h"
#include "render/GlOverlayDrawer.h"
#include "render/GridDisplay.h"
#include "render/IntBoxOutline.h"

namespace {

// One light of the light table.
struct Light {
    GLenum id;
    GLfloat diffuse[4];
    GLfloat specular[4];
    GLfloat position[4];  // w = 0: directional
    GLfloat spot_direction[3];
};

const Light kLights[] = {
    {GL_LIGHT0, {0.9f, 0.8f, 0.6f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {-1.0f, 0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}},
    {GL_LIGHT1, {0.3f, 0.3f, 0.31f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}},
    {GL_LIGHT2, {0.3f, 0.31f, 0.3f, 1.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}},
};
const GLfloat kAmbientLight[4] = {0.8f, 0.8f, 0.8f, 1.0f};
const GLfloat kAmbientMaterial[4] = {0.9f, 0.9f, 0.9f, 1.0f};

constexpr double kFieldOfView = 40.0;
constexpr double kNearPlane = 2.0;
constexpr double kFarPlane = 8192.0;
constexpr float kFocusCrossHalfLength = 2.0f;

void clear_buffers(const FrameSettings& settings) {
    if (!settings.clear_buffers) return;
    glClearColor(settings.clear_colour[0], settings.clear_colour[1], settings.clear_colour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Lights are specified under the model-view matrix the previous frame left.
void set_lights() {
    for (const Light& light : kLights) {
        glLightfv(light.id, GL_DIFFUSE, light.diffuse);
        glLightfv(light.id, GL_SPECULAR, light.specular);
        glLightfv(light.id, GL_POSITION, light.position);
        glLightfv(light.id, GL_SPOT_DIRECTION, light.spot_direction);
    }
    glEnable(GL_LIGHT0);
    glDisable(GL_LIGHT1);
    glDisable(GL_LIGHT2);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbientLight);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kAmbientMaterial);
}

void set_polygon_state(const FrameSettings& settings) {
    const bool wire = settings.wire_grid;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, wire ? GL_LINE : GL_FILL);
    glCullFace(GL_BACK);
    if (wire) {
        glDisable(GL_LIGHTING);
    } else if (settings.lighting_on) {
        set_lights();  // GL_LIGHTING itself is enabled by the surface drawing
    } else {
        glDisable(GL_LIGHTING);
        glShadeModel(GL_FLAT);
    }
}

Vector3 box_centre(const IntBox& box) {
    return Vector3(static_cast<float>(box.x0 + (box.x1 - box.x0) * 0.5),
                   static_cast<float>(box.y0 + (box.y1 - box.y0) * 0.5),
                   static_cast<float>(box.z0 + (box.z1 - box.z0) * 0.5));
}

// Linear fog around the display box as seen from the eye.
void set_fog(const FrameSettings& settings, const View& view, const IntBox& box) {
    if (!settings.fogging_on) return;
    const GLfloat colour[4] = {settings.fog_colour[0], settings.fog_colour[1], settings.fog_colour[2], 1.0f};
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, colour);
    const double distance = (box_centre(box) - view.eye_position()).length();
    const Vector3& size = view.box_size();
    const double mean_size = (std::fabs(size.x) + std::fabs(size.y) + std::fabs(size.z)) / 3.0;
    glFogf(GL_FOG_START, static_cast<GLfloat>(std::max(0.0, distance - mean_size * 0.25)));
    glFogf(GL_FOG_END, static_cast<GLfloat>(distance + mean_size));
}

void set_projection(const Viewport& viewport) {
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A viewport with no height (a minimised window) would divide by zero.
    const bool has_area = viewport.width > 0 && viewport.height > 0;
    const double aspect = has_area ? double(viewport.width) / double(viewport.height) : 1.0;
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
}

void draw_grid_displays(FrameInput& frame) {
    if (frame.settings.squares_display) {
        frame.settings.lighting_on = false;
        glShadeModel(GL_FLAT);
        draw_grid_as_squares(frame);
    }
    if (frame.settings.limit_surface_display) {
        frame.settings.lighting_on = true;
        glShadeModel(GL_SMOOTH);
        draw_grid_as_limit_surface(frame);
    }
}

void vertex(const Vector3& p) {
    glVertex3f(p.x, p.y, p.z);
}

// A cross through the focus point, a small fan at the far point and a line
// from the world origin to the focus.
void draw_focus_markers(const Vector3& focus, const Vector3& far) {
    glBegin(GL_LINES);
    glColor3f(0.6f, 0.61f, 1.0f);
    for (int axis = 0; axis < 3; ++axis) {
        Vector3 step;
        step[axis] = kFocusCrossHalfLength;
        vertex(focus - step);
        vertex(focus + step);
    }
    glColor3f(0.999f, 0.61f, 0.8f);
    for (const Vector3& tip : {Vector3(1, 1, 1), Vector3(-1, 1, -1), Vector3(1, 1, -1), Vector3(-1, 1, 1)}) {
        vertex(far);
        vertex(far + tip);
    }
    glColor3f(0.5f, 0.51f, 1.0f);
    vertex(Vector3());
    vertex(focus);
    glEnd();
}

// v truncated toward zero, held to the 32-bit signed range (not-a-number: 0).
int64_t truncated(float v) {
    if (std::isnan(v)) return 0;
    return static_cast<int64_t>(std::clamp(std::trunc(double(v)), -2147483648.0, 2147483647.0));
}

// The outlines of the grid cells of sides 8, 64, ... 8^(L-1) that hold the
// far point, finest first. Coordinates below zero wrap as unsigned numbers,
// which the outline turns back into negative ones.
void draw_cells_containing(const Vector3& far, uint32_t levels) {
    glColor3f(0.99f, 0.99f, 0.99f);
    const int64_t point[3] = {truncated(far.x), truncated(far.y), truncated(far.z)};
    for (uint32_t n = 1; n < levels; ++n) {
        const int64_t side = int64_t(1) << (3 * n);
        uint32_t lower[3];
        for (int axis = 0; axis < 3; ++axis) lower[axis] = static_cast<uint32_t>(point[axis] & ~(side - 1));
        const uint32_t last = static_cast<uint32_t>(side - 1);
        draw_int_box_outline(
            IntBox{lower[0], lower[1], lower[2], lower[0] + last, lower[1] + last, lower[2] + last});
    }
}

void draw_affector_marker(const FrameInput& frame, const Vector3& focus) {
    glColor3f(0.7f, 0.999f, 0.8f);
    const VoxelPosition cell{clamped_voxel_index(focus.x), clamped_voxel_index(focus.y), clamped_voxel_index(focus.z)};
    frame.affector.draw_shape(frame.drawer, cell);
}

}  // namespace

void draw_frame(FrameInput& frame) {
    const FrameSettings& settings = frame.settings;
    const IntBox& box = frame.display_box;
    clear_buffers(settings);
    set_polygon_state(settings);
    set_fog(settings, frame.view, box);
    set_projection(frame.viewport);

    glColor3ub(0, 255, 255);
    glLoadMatrixd(frame.view.matrix().data());

    if (settings.additive_blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_SRC_COLOR);
        glDisable(GL_DEPTH_TEST);
    }
    draw_grid_displays(frame);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);

    if (settings.vertex_index_display) {
        glDisable(GL_DEPTH_TEST);
        GlOverlayDrawer overlay;
        draw_connectivity(frame.world.vertices(), box, overlay);
        glEnable(GL_DEPTH_TEST);
    }
    if (settings.additive_blend) {
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
    }

    draw_int_box_outline(box);  // in the current colour: cyan unless a display set another
    const Vector3 focus = frame.view.focus_point();
    const Vector3 far = frame.view.far_point();
    draw_focus_markers(focus, far);
    const uint32_t levels = frame.world.grid().levels();
    if (settings.hierarchy_containing_focus && levels >= 2) draw_cells_containing(far, levels);
    draw_affector_marker(frame, focus);
}
