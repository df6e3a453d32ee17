#include "render/FacePainter.h"

#include <GL/gl.h>

#include "interaction/View.h"

namespace {

constexpr Rgba from_bytes(int red, int green, int blue) {
    return Rgba{red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f};
}

}  // namespace

const std::array<Rgba, 6> FacePainter::kColours = {
    from_bytes(245, 250, 255),  // -x
    from_bytes(250, 245, 245),  // -y
    from_bytes(225, 225, 223),  // -z
    from_bytes(230, 230, 230),  // +x
    from_bytes(240, 240, 240),  // +y
    from_bytes(225, 225, 225),  // +z
};

uint32_t FacePainter::colour_index(float x, float y, float z) {
    double sign = 1.0;
    const int axis = dominant_axis(Vector3(x, y, z), sign);
    return static_cast<uint32_t>(sign > 0.0 ? axis + 3 : axis);
}

void FacePainter::begin_batch(const Square* square) {
    square_ = square;
    glBegin(GL_QUADS);
}

void FacePainter::set_normal(float x, float y, float z) {
    glColor4fv(kColours[colour_index(x, y, z)].data());
    if (send_normals_) glNormal3f(x, y, z);
}

void FacePainter::emit_square() {
    for (const auto& corner : square_->corners) {
        glVertex3i(static_cast<GLint>(corner[0]), static_cast<GLint>(corner[1]), static_cast<GLint>(corner[2]));
    }
}

void FacePainter::end_batch() {
    glEnd();
}

void CountingFacePainter::emit_square() {
    FacePainter::emit_square();
    ++count_;
}
