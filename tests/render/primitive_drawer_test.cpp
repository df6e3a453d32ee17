// The primitive drawer: the order of a box's edges, the integer box extent,
// and what the OpenGL drawer hands to OpenGL (read back in feedback mode).
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
    // Corners given the other way round, wholly or on one axis: same edges.
    EXPECT_EQ(box_edges({4, 5, 6}, {1, 2, 3}), expected);
    EXPECT_EQ(box_edges({1, 5, 3}, {4, 2, 6}), expected);
}

TEST(IntBoxOutline, EnclosesTheOuterFacesOfTheVoxels) {
    const IntBoxExtent e = int_box_extent(IntBox{9, 0, 7, 2, 511, 7});  // x given the wrong way round
    EXPECT_EQ((std::vector<int32_t>{e.lower[0], e.lower[1], e.lower[2], e.upper[0], e.upper[1], e.upper[2]}),
              (std::vector<int32_t>{2, 0, 7, 10, 512, 8}));
}

// Records in OpenGL feedback mode what a drawing call sends down the
// pipeline. The projection maps world x and y in 0 .. 64 one to one onto the
// 64 x 64 viewport and z in -64 .. 64 onto the depth range.
class GlFeedback : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_EGL(egl_);
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 64, 0, 64, -64, 64);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    struct Primitive {
        GLfloat token;
        std::vector<Point> corners;
    };

    template <typename Draw>
    std::vector<Primitive> feedback(Draw&& draw) {
        std::vector<GLfloat> buffer(8192);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        const GLint count = glRenderMode(GL_RENDER);
        std::vector<Primitive> primitives;
        for (GLint i = 0; i < count;) {
            Primitive p{buffer[i++], {}};
            const GLint corners = p.token == GL_POLYGON_TOKEN ? static_cast<GLint>(buffer[i++]) : 2;
            for (GLint c = 0; c < corners; ++c, i += 3) {
                // Window depth back to world z.
                p.corners.push_back(Point{buffer[i], buffer[i + 1], 64.0f * (1.0f - 2.0f * buffer[i + 2])});
            }
            primitives.push_back(p);
        }
        return primitives;
    }

    static void expect_segments(const std::vector<Primitive>& lines, const std::vector<Segment>& expected) {
        ASSERT_EQ(lines.size(), expected.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].token == GL_LINE_TOKEN || lines[i].token == GL_LINE_RESET_TOKEN);
            for (int end = 0; end < 2; ++end)
                for (int axis = 0; axis < 3; ++axis) {
                    EXPECT_NEAR(lines[i].corners[end][axis], expected[i][end][axis], 1e-3) << "segment " << i;
                }
        }
    }

    EglContext egl_{64, 64};
    GlPrimitiveDrawer drawer_;
};

TEST_F(GlFeedback, BoxOutlineIsTwelveLines) {
    expect_segments(feedback([&] { drawer_.draw_box_outline(Vector3(10, 20, 6), Vector3(11.5f, 21.9999f, 5)); }),
                    box_edges({10, 20, 6}, {11.5f, 21.9999f, 5}));
}

TEST_F(GlFeedback, LineAndIntBoxOutline) {
    expect_segments(feedback([&] { drawer_.draw_line(Vector3(1, 2, 3), Vector3(30, 40, -7)); }),
                    {{{{1, 2, 3}, {30, 40, -7}}}});
    // The box of one voxel is its unit cube.
    expect_segments(feedback([] { draw_int_box_outline(IntBox{5, 5, 5, 5, 5, 5}); }), box_edges({5, 5, 5}, {6, 6, 6}));
}

TEST_F(GlFeedback, TrianglesReadFourFloatRecordsAndLeaveTheArraysOff) {
    // Four vertices; w is never read (it holds junk here).
    const float positions[] = {1, 1, 0, 99, 30, 1, 0, 99, 1, 30, 0, 99, 30, 30, 2, 99};
    const float normals[] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
    const uint32_t indices[] = {0, 1, 2, 2, 1, 3};
    for (const float* n : {static_cast<const float*>(nullptr), normals}) {
        const std::vector<Primitive> triangles = feedback([&] { drawer_.draw_triangles(positions, n, indices, 6); });
        ASSERT_EQ(triangles.size(), 2u);
        for (size_t t = 0; t < 2; ++t) {
            EXPECT_EQ(triangles[t].token, GL_POLYGON_TOKEN);
            ASSERT_EQ(triangles[t].corners.size(), 3u);
            for (size_t c = 0; c < 3; ++c) {
                const float* p = positions + 4 * indices[3 * t + c];
                for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(triangles[t].corners[c][axis], p[axis], 1e-3);
            }
        }
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
        EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
