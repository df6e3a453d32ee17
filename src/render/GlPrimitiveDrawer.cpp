#include "render/GlPrimitiveDrawer.h"

#include <GL/gl.h>

namespace {

constexpr GLsizei kVertexRecordBytes = 4 * sizeof(float);

}  // namespace

void GlPrimitiveDrawer::draw_box_outline(const Vector3& lower, const Vector3& upper) {
    glBegin(GL_LINES);
    for_each_box_edge(lower.x, lower.y, lower.z, upper.x, upper.y, upper.z,
                      [](float ax, float ay, float az, float bx, float by, float bz) {
                          glVertex3f(ax, ay, az);
                          glVertex3f(bx, by, bz);
                      });
    glEnd();
}

void GlPrimitiveDrawer::draw_line(const Vector3& a, const Vector3& b) {
    glBegin(GL_LINES);
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
    glEnd();
}

void GlPrimitiveDrawer::draw_triangles(const float* positions, const float* normals, const uint32_t* indices,
                                       uint32_t index_count) {
    if (positions == nullptr || indices == nullptr || index_count == 0) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVertexRecordBytes, positions);
    if (normals != nullptr) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, kVertexRecordBytes, normals);
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(index_count), GL_UNSIGNED_INT, indices);
    if (normals != nullptr) glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
