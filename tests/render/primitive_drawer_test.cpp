// The primitive drawer: the order of a box's edges, and what the OpenGL drawer draws (read back from an offscreen buffer).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <vector>

#include "render/GlPrimitiveDrawer.h"
#include "render/IntBoxOutline.h"
#include "support/EglContext.h"

namespace {

using Point = std::array<float, 3>;
using Segment = std::array<Point, 2>;

std::vector<Segment> box_edges(Point a, Point b) {
    std::vector<Segment> edges;
    for_each_box_edge(a[0], a[1], a[2], b[0], b[1], b[2],
                      [&](float ax, float ay, float az, float bx, float by, float bz) {
                          edges.push_back({Point{ax, ay, az}, Point{bx, by, bz}});
                      });
    return edges;
}

TEST(BoxEdges, FourAlongEachAxisFromLowerToUpper) {
    const std::vector<Segment> expected = {
        {{{1, 2, 3}, {4, 2, 3}}}, {{{1, 5, 3}, {4, 5, 3}}}, {{{1, 5, 6}, {4, 5, 6}}}, {{{1, 2, 6}, {4, 2, 6}}},
        {{{1, 2, 3}, {1, 5, 3}}}, {{{4, 2, 3}, {4, 5, 3}}}, {{{1, 2, 6}, {1, 5, 6}}}, {{{4, 2, 6}, {4, 5, 6}}},
        {{{1, 2, 3}, {1, 2, 6}}}, {{{4, 2, 3}, {4, 2, 6}}}, {{{1, 5, 3}, {1, 5, 6}}}, {{{4, 5, 3}, {4, 5, 6}}}};
    EXPECT_EQ(box_edges({1, 2, 3}, {4, 5, 6}), expected);
    EXPECT_EQ(box_edges({4, 5, 6}, {1, 2, 3}), expected);  // corners given the other way round
}

// Draws in white on black into a 64 x 64 pixel buffer whose pixels are the
// unit squares of world x and y (an orthographic view down z), then reads
// pixels back. Lines are placed through pixel centres.
class GlDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_EGL(egl_);
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 64, 0, 64, -64, 64);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
    }
    void TearDown() override {
        if (egl_.ok()) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }

    bool lit(int x, int y) {
        glFinish();
        return egl_.pixel(x, y)[0] > 128;
    }

    EglContext egl_{64, 64};
    GlPrimitiveDrawer drawer_;
};

TEST_F(GlDrawing, BoxOutlineAndLine) {
    drawer_.draw_box_outline(Vector3(40.5f, 20.5f, 5), Vector3(10.5f, 50.5f, -3));  // corners in either order
    EXPECT_TRUE(lit(25, 20) && lit(25, 50) && lit(10, 35) && lit(40, 35));
    EXPECT_FALSE(lit(25, 35) || lit(5, 5) || lit(45, 35));
    drawer_.draw_line(Vector3(5.5f, 60.5f, 0), Vector3(60.5f, 60.5f, 0));
    EXPECT_TRUE(lit(6, 60) && lit(59, 60));  // a line leaves out its last pixel
    EXPECT_FALSE(lit(3, 60));
}

TEST_F(GlDrawing, IntBoxOutlineRunsAroundTheOuterFacesOfItsVoxels) {
    glTranslatef(0.5f, 0.5f, 0);  // integer edges onto pixel centres
    draw_int_box_outline(IntBox{19, 10, 0, 10, 29, 3});  // x given the wrong way round
    EXPECT_TRUE(lit(15, 10) && lit(15, 30) && lit(10, 20) && lit(20, 20));
    EXPECT_FALSE(lit(15, 20) || lit(15, 29) || lit(21, 20));
}

TEST_F(GlDrawing, TrianglesReadFourFloatRecordsAndLeaveTheArraysOff) {
    // A square of two triangles; the fourth float of each record is never read.
    const float positions[] = {1, 1, 0, 99, 30, 1, 0, 99, 1, 30, 0, 99, 30, 30, 0, 99};
    const float normals[] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    const uint32_t indices[] = {0, 1, 2, 2, 1, 3};
    drawer_.draw_triangles(positions, nullptr, indices, 3);  // the lower left half only
    EXPECT_TRUE(lit(5, 5));
    EXPECT_FALSE(lit(25, 25) || lit(40, 40));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    drawer_.draw_triangles(positions, normals, indices, 6);
    EXPECT_TRUE(lit(25, 25));
    EXPECT_FALSE(lit(40, 40) || lit(5, 40));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY));
}

}  // namespace
