#include "render/GlOverlayDrawer.h"

#include <GL/gl.h>

void GlOverlayDrawer::begin(uint32_t kind) {
    if (kind == kLines) {
        glBegin(GL_LINES);
    } else if (kind == kPoints) {
        glBegin(GL_POINTS);
    }
}

void GlOverlayDrawer::end() {
    glEnd();
}

void GlOverlayDrawer::set_colour(const float rgba[4]) {
    glColor4fv(rgba);
}

void GlOverlayDrawer::segment(const Vector3& a, const Vector3& b) {
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
}

void GlOverlayDrawer::set_point_size(float size) {
    glPointSize(size);
}

void GlOverlayDrawer::point(const Vector3& a) {
    glVertex3f(a.x, a.y, a.z);
}
