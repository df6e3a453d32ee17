#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "grid/SquareVisitor.h"

// An RGBA colour of four floats.
using Rgba = std::array<float, 4>;

// Draws the squares that the box traversal finds as flat-coloured OpenGL
// quads, each coloured by the direction it faces.
//
// The squares are gathered into client-side vertex arrays (a position and a
// colour per corner) and drawn many batches at a time with glDrawArrays, in
// the order the traversal hands them over; call finish() after the traversal
// to draw the rest. Client array state is saved and restored around each
// draw, and afterwards the current colour (and normal) is the last one set,
// as if each corner had been sent on its own.
class FacePainter : public SquareVisitor {
public:
    // The colours by face direction: -x, -y, -z, +x, +y, +z.
    static const std::array<Rgba, 6> kColours;

    // With `send_normals` set each normal also goes to OpenGL (a normal
    // array), for lit drawing; the squares display leaves it off.
    explicit FacePainter(bool send_normals = false) : send_normals_(send_normals) {}

    // Index into kColours of the direction nearest to (x, y, z): the axis
    // for a negative direction, the axis + 3 for a positive one.
    static uint32_t colour_index(float x, float y, float z);

    void begin_batch(const Square* square) override;
    void set_normal(float x, float y, float z) override;
    void emit_square() override;
    void end_batch() override;

    // Draws the squares not drawn yet.
    void finish();

private:
    struct Corner {
        int32_t position[3];
        float colour[4];
    };

    void draw_arrays();

    const Square* square_ = nullptr;
    bool send_normals_;
    bool colour_set_ = false;  // by set_normal since finish() last set it in OpenGL
    const Rgba* colour_ = &kColours[0];
    float normal_[3] = {0.0f, 0.0f, 0.0f};
    std::vector<Corner> corners_;
    std::vector<float> normals_;  // three per corner, with send_normals only
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
