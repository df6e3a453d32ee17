#include "render/FacePainter.h"

#include <GL/gl.h>

#include <cstddef>

#include "interaction/View.h"

namespace {

// Corners held back before a draw: large enough that a frame takes few
// draws, small enough to stay in cache-friendly memory.
constexpr size_t kCornersPerDraw = 4 * 8192;

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
}

void FacePainter::set_normal(float x, float y, float z) {
    colour_ = &kColours[colour_index(x, y, z)];
    colour_set_ = true;
    normal_[0] = x;
    normal_[1] = y;
    normal_[2] = z;
}

void FacePainter::emit_square() {
    if (corners_.empty()) corners_.reserve(kCornersPerDraw);
    for (const auto& corner : square_->corners) {
        Corner c;
        for (int a = 0; a < 3; ++a) c.position[a] = static_cast<int32_t>(corner[a]);
        for (int i = 0; i < 4; ++i) c.colour[i] = (*colour_)[i];
        corners_.push_back(c);
        if (send_normals_) normals_.insert(normals_.end(), normal_, normal_ + 3);
    }
    if (corners_.size() >= kCornersPerDraw) draw_arrays();
}

void FacePainter::end_batch() {}

void FacePainter::finish() {
    if (!corners_.empty()) draw_arrays();
    if (!colour_set_) return;
    // Drawing from a colour (or normal) array leaves the current one
    // undefined: set the last one, as drawing corner by corner would have.
    glColor4fv(colour_->data());
    if (send_normals_) glNormal3fv(normal_);
    colour_set_ = false;
}

void FacePainter::draw_arrays() {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_INT, sizeof(Corner), corners_.front().position);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, sizeof(Corner), corners_.front().colour);
    if (send_normals_) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, normals_.data());
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(corners_.size()));
    glPopClientAttrib();
    corners_.clear();
    normals_.clear();
}

void CountingFacePainter::emit_square() {
    FacePainter::emit_square();
    ++count_;
}
