#include "render/SurfaceMesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The stride of the position and normal records: four floats.
constexpr GLsizei kVectorStride = 4 * sizeof(float);

// v * 255 rounded to the nearest integer, ties to even, kept within a byte.
uint8_t to_alpha_byte(double v) {
    const double scaled = std::nearbyint(v * 255.0);
    return static_cast<uint8_t>(std::clamp(scaled, 0.0, 255.0));
}

}  // namespace

uint32_t SurfaceMesh::add_vertex(const Vector3& position) {
    return add_vertex(position.x, position.y, position.z);
}

uint32_t SurfaceMesh::add_vertex(float x, float y, float z) {
    positions_.insert(positions_.end(), {x, y, z, 0.0f});
    return vertex_count() - 1;
}

uint32_t SurfaceMesh::add_vertex_int(uint32_t x, uint32_t y, uint32_t z) {
    return add_vertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void SurfaceMesh::add_triangle(uint32_t i0, uint32_t i1, uint32_t i2) {
    indices_.insert(indices_.end(), {i0, i1, i2});
}

float* SurfaceMesh::add_vertex_room(uint32_t count) {
    const size_t old_size = positions_.size();
    positions_.resize(old_size + 4 * size_t(count));
    return positions_.data() + old_size;
}

uint32_t* SurfaceMesh::add_index_room(size_t count) {
    const size_t old_size = indices_.size();
    indices_.resize(old_size + count);
    return indices_.data() + old_size;
}

void SurfaceMesh::add_indices(const uint32_t* corners, size_t count, uint32_t offset) {
    const size_t old_size = indices_.size();
    indices_.insert(indices_.end(), corners, corners + count);
    if (offset == 0) return;
    for (size_t i = old_size; i < indices_.size(); ++i) indices_[i] += offset;
}

void SurfaceMesh::reset() {
    positions_.clear();
    indices_.clear();
}

void SurfaceMesh::add_to_normal(uint32_t vertex, const Vector3& n) {
    float* normal = &normals_[4 * vertex];
    normal[0] += n.x;
    normal[1] += n.y;
    normal[2] += n.z;
}

void SurfaceMesh::compute_normals() {
    normals_.assign(positions_.size(), 0.0f);
    for (size_t t = 0; t + 2 < indices_.size(); t += 3) {
        const uint32_t i0 = indices_[t], i1 = indices_[t + 1], i2 = indices_[t + 2];
        const Vector3 p0 = position(i0);
        const Vector3 n = cross(position(i1) - p0, position(i2) - p0);
        const double length = n.length();
        if (!(length > 0.0) || !std::isfinite(length)) continue;  // zero area: no direction to add
        const Vector3 unit(static_cast<float>(n.x / length), static_cast<float>(n.y / length),
                           static_cast<float>(n.z / length));
        add_to_normal(i0, unit);
        add_to_normal(i1, unit);
        add_to_normal(i2, unit);
    }
    for (uint32_t v = 0; v < vertex_count(); ++v) {
        float* normal = &normals_[4 * v];
        const double length = Vector3(normal[0], normal[1], normal[2]).length();
        if (!(length > 0.0)) {
            normal[0] = normal[1] = normal[2] = 0.0f;  // cancelled or unused: no direction
            continue;
        }
        for (int axis = 0; axis < 3; ++axis) normal[axis] = static_cast<float>(normal[axis] / length);
    }
}

void SurfaceMesh::compute_texture_data(float x0, float y0, float z0, float scale) {
    if (normals_.size() != positions_.size()) compute_normals();
    const float ox = static_cast<float>(std::fmod(double(x0) * scale, 1.0));
    const float oy = static_cast<float>(std::fmod(double(y0) * scale, 1.0));
    const float oz = static_cast<float>(std::fmod(double(z0) * scale, 1.0));
    const uint32_t count = vertex_count();
    for (auto& set : texture_coordinates_) set.resize(2 * size_t(count));
    for (auto& set : colours_) set.resize(4 * size_t(count));
    for (uint32_t v = 0; v < count; ++v) {
        const Vector3 p = position(v);
        const Vector3 n = normal(v);
        const float s = (p.x - x0) * scale + ox;   // along x
        const float t = (p.y - y0) * scale + oy;   // along y
        const float u = (p.z - z0) * scale + oz;   // along z
        const float projections[kTextureSets][2] = {{s, u}, {t, u}, {s, t}};
        for (uint32_t set = 0; set < kTextureSets; ++set) {
            texture_coordinates_[set][2 * v] = projections[set][0];
            texture_coordinates_[set][2 * v + 1] = projections[set][1];
        }
        const double xz = std::sqrt(double(n.x) * n.x + double(n.z) * n.z);
        const uint8_t alphas[kColourSets] = {to_alpha_byte(std::fabs(n.y)),
                                             xz > 0.0 ? to_alpha_byte(std::fabs(n.z) / xz) : uint8_t(0)};
        for (uint32_t set = 0; set < kColourSets; ++set) {
            uint8_t* rgba = &colours_[set][4 * v];
            rgba[0] = rgba[1] = rgba[2] = 255;
            rgba[3] = alphas[set];
        }
    }
}

void SurfaceMesh::draw_elements() const {
    if (indices_.empty()) return;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, indices_.data());
}

void SurfaceMesh::draw_plain(bool lit) const {
    if (lit) glEnable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVectorStride, positions_.data());
    if (lit) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, kVectorStride, normals_.data());
    }
    draw_elements();
    glDisableClientState(GL_VERTEX_ARRAY);
    if (lit) {
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisable(GL_LIGHTING);
    }
}

void SurfaceMesh::draw_textured(uint32_t first_texture, uint32_t second_texture, bool lit, bool fogged) const {
    // Pass 1: the projection along x, opaque.
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVectorStride, positions_.data());
    glBindTexture(GL_TEXTURE_2D, second_texture);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, 0, texture_coordinates_[1].data());
    draw_elements();

    // Pass 2: the projection along z, blended in by colour 1's alpha.
    glDepthFunc(GL_LEQUAL);
    glTexCoordPointer(2, GL_FLOAT, 0, texture_coordinates_[2].data());
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours_[1].data());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw_elements();

    // Pass 3: the projection along y, blended in by colour 0's alpha.
    glBindTexture(GL_TEXTURE_2D, first_texture);
    glTexCoordPointer(2, GL_FLOAT, 0, texture_coordinates_[0].data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours_[0].data());
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw_elements();

    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_TEXTURE_2D);

    // Pass 4: the lit colour L over what is there, D: L + D * L.
    if (lit) {
        if (fogged) glEnable(GL_FOG);
        glEnable(GL_LIGHTING);
        glBlendFunc(GL_ONE, GL_SRC_COLOR);
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, kVectorStride, normals_.data());
        draw_elements();
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisable(GL_LIGHTING);
        if (fogged) glDisable(GL_FOG);
    } else if (fogged) {
        glEnable(GL_FOG);
        draw_elements();
        glDisable(GL_FOG);
    }

    glDisableClientState(GL_VERTEX_ARRAY);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
}

SurfaceMesh& surface_mesh() {
    static SurfaceMesh mesh;
    return mesh;
}
