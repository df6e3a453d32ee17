// The squares painter draws from vertex arrays exactly the pixels that
// sending every corner on its own (glBegin / glVertex) draws, and leaves the
// OpenGL state as that did.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <memory>
#include <random>
#include <vector>

#include "grid/BoxTraversal.h"
#include "grid/traversal_model.h"
#include "render/FacePainter.h"
#include "support/EglContext.h"

namespace {

// Draws each batch as one glBegin(GL_QUADS) / glEnd with one glVertex call
// per corner: the submission the painter's arrays replace.
class CornerByCornerPainter final : public SquareVisitor {
public:
    void begin_batch(const Square* square) override {
        square_ = square;
        glBegin(GL_QUADS);
    }
    void set_normal(float x, float y, float z) override {
        glColor4fv(FacePainter::kColours[FacePainter::colour_index(x, y, z)].data());
    }
    void emit_square() override {
        for (const auto& c : square_->corners) glVertex3i(GLint(c[0]), GLint(c[1]), GLint(c[2]));
    }
    void end_batch() override { glEnd(); }

private:
    const Square* square_ = nullptr;
};

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// Looks at the sculpted region from a corner, so faces of every direction
// show, some of them only a pixel or two wide.
void set_camera() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, double(kWidth) / kHeight, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(-40, 110, -30, 32, 32, 32, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glShadeModel(GL_FLAT);
}

template <typename Draw>
std::vector<uint8_t> frame(const EglContext& egl, Draw draw) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    return egl.pixels();
}

TEST(FacePainter, ArraysDrawThePixelsOfCornerByCornerSubmission) {
    EglContext egl(kWidth, kHeight);
    SKIP_WITHOUT_EGL(egl);
    set_camera();
    std::mt19937 random(31);
    VoxelGrid grid(2, false);
    const uint32_t origin[3] = {0, 0, 0};
    traversal_model::sculpt_randomly(grid, random, origin, 64);
    const IntBox box{0, 0, 0, 63, 63, 63};

    float corner_colour[4], array_colour[4];
    const std::vector<uint8_t> expected = frame(egl, [&] {
        CornerByCornerPainter painter;
        visit_box_squares(grid, box, painter, false);
        glGetFloatv(GL_CURRENT_COLOR, corner_colour);
    });
    uint32_t squares = 0;
    const std::vector<uint8_t> actual = frame(egl, [&] {
        CountingFacePainter painter;
        visit_box_squares(grid, box, painter, false);
        painter.finish();
        squares = painter.count();
        glGetFloatv(GL_CURRENT_COLOR, array_colour);
    });
    ASSERT_GT(squares, 8192u) << "the painter draws mid-traversal too";
    size_t drawn = 0;
    for (size_t i = 0; i < expected.size(); i += 4) drawn += expected[i] != 0;
    EXPECT_GT(drawn, size_t(kWidth * kHeight / 4));
    EXPECT_TRUE(expected == actual) << "pixels differ";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array_colour[i], corner_colour[i]) << "current colour " << i;
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
