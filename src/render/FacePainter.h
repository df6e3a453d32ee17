#pragma once

#include <array>
#include <cstdint>

#include "grid/SquareVisitor.h"

// An RGBA colour of four floats.
using Rgba = std::array<float, 4>;

// Draws the squares that the box traversal finds as flat-coloured OpenGL
// quads, each coloured by the direction it faces.
class FacePainter : public SquareVisitor {
public:
    // The colours by face direction: -x, -y, -z, +x, +y, +z.
    static const std::array<Rgba, 6> kColours;

    // With `send_normals` set each normal also goes to OpenGL (glNormal),
    // for lit drawing; the squares display leaves it off.
    explicit FacePainter(bool send_normals = false) : send_normals_(send_normals) {}

    // Index into kColours of the direction nearest to (x, y, z): the axis
    // for a negative direction, the axis + 3 for a positive one.
    static uint32_t colour_index(float x, float y, float z);

    void begin_batch(const Square* square) override;
    void set_normal(float x, float y, float z) override;
    void emit_square() override;
    void end_batch() override;

private:
    const Square* square_ = nullptr;
    bool send_normals_;
};

// A face painter that also counts the squares it draws.
class CountingFacePainter final : public FacePainter {
public:
    using FacePainter::FacePainter;

    void emit_square() override;
    uint32_t count() const { return count_; }

private:
    uint32_t count_ = 0;
};
