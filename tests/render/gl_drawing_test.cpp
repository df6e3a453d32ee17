// What the OpenGL drawers draw, read back from an offscreen buffer: the
// primitive drawer, the squares painter and the surface textures.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <random>
#include <vector>

#include "grid/BoxTraversal.h"
#include "grid/traversal_model.h"
#include "render/FacePainter.h"
#include "render/GlPrimitiveDrawer.h"
#include "render/IntBoxOutline.h"
#include "render/Textures.h"
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

// Draws in white on black into a 64 x 64 pixel corner of the buffer whose
// pixels are the unit squares of world x and y (an orthographic view down
// z), then reads pixels back. Lines are placed through pixel centres. No
// test may leave an OpenGL error behind.
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
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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

    static constexpr int kWidth = 320, kHeight = 240;
    EglContext egl_{kWidth, kHeight};
    GlPrimitiveDrawer drawer_;
};

TEST_F(GlDrawing, BoxOutlinesAndLine) {
    drawer_.draw_box_outline(Vector3(40.5f, 20.5f, 5), Vector3(10.5f, 50.5f, -3));  // corners in either order
    EXPECT_TRUE(lit(25, 20) && lit(25, 50) && lit(10, 35) && lit(40, 35));
    EXPECT_FALSE(lit(25, 35) || lit(5, 5) || lit(45, 35));
    drawer_.draw_line(Vector3(5.5f, 60.5f, 0), Vector3(60.5f, 60.5f, 0));
    EXPECT_TRUE(lit(6, 60) && lit(59, 60));  // a line leaves out its last pixel
    EXPECT_FALSE(lit(3, 60));

    // A voxel box's outline runs around the outer faces of its voxels.
    glClear(GL_COLOR_BUFFER_BIT);
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

// The squares painter draws from vertex arrays exactly the pixels that
// sending every corner on its own draws, and leaves the OpenGL state as that
// did. The camera looks at the sculpted region from a corner, so faces of
// every direction show, some of them only a pixel or two wide.
TEST_F(GlDrawing, FacePainterArraysDrawThePixelsOfCornerByCornerSubmission) {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, double(kWidth) / kHeight, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    gluLookAt(-40, 110, -30, 32, 32, 32, 0, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_FLAT);
    std::mt19937 random(31);
    VoxelGrid grid(2, false);
    const uint32_t origin[3] = {0, 0, 0};
    traversal_model::sculpt_randomly(grid, random, origin, 64);
    const IntBox box{0, 0, 0, 63, 63, 63};
    const auto frame = [&](auto&& draw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(0, 0, 0, 0);  // so that each painter must leave its own last colour
        draw();
        return egl_.pixels();
    };
    float corner_colour[4], array_colour[4];
    CornerByCornerPainter corner_painter;
    CountingFacePainter array_painter;
    const std::vector<uint8_t> expected = frame([&] {
        visit_box_squares(grid, box, corner_painter, false);
        glGetFloatv(GL_CURRENT_COLOR, corner_colour);
    });
    const std::vector<uint8_t> actual = frame([&] {
        visit_box_squares(grid, box, array_painter, false);
        array_painter.finish();
        glGetFloatv(GL_CURRENT_COLOR, array_colour);
    });
    ASSERT_GT(array_painter.count(), 8192u) << "the painter draws mid-traversal too";
    EXPECT_TRUE(expected == actual) << "pixels differ";
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array_colour[i], corner_colour[i]) << "current colour " << i;
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_COLOR_ARRAY));
}

class RecordingRegistry final : public I_ResourceRegistry {
public:
    void register_resource(I_Releasable* resource) override { resources.push_back(resource); }
    void release_all() {
        for (I_Releasable* resource : resources) resource->release();
    }
    std::vector<I_Releasable*> resources;
};

// Made once, holding a single-texel checkerboard of pink and black as RGB,
// reused by later frames with any registry; once the owner releases them
// the names are deleted and the next frame makes new textures for whoever
// draws it.
TEST_F(GlDrawing, SurfaceTexturesMadeOnceAndAgainOnlyAfterRelease) {
    SurfaceTextureSource source;
    RecordingRegistry first_owner, other;
    const SurfaceTextures made = source.ensure(first_owner);
    ASSERT_EQ(first_owner.resources.size(), 1u);
    EXPECT_TRUE(made.first != 0 && made.second != 0 && made.first != made.second);
    const std::vector<int> pink{255, 210, 210}, black{0, 0, 0};
    for (uint32_t name : {made.first, made.second}) {
        std::vector<uint8_t> rgb(kTextureImageSide * kTextureImageSide * 3);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        for (uint32_t texel = 0; texel < kTextureImageSide * kTextureImageSide; ++texel) {
            const bool even = (texel / kTextureImageSide + texel % kTextureImageSide) % 2 == 0;
            ASSERT_EQ(std::vector<int>(&rgb[texel * 3], &rgb[texel * 3 + 3]), even ? pink : black) << texel;
        }
    }
    const SurfaceTextures again = source.ensure(other);
    EXPECT_TRUE(again.first == made.first && again.second == made.second && other.resources.empty());
    first_owner.release_all();
    EXPECT_TRUE(source.current_set()->released());
    EXPECT_FALSE(glIsTexture(made.first) || glIsTexture(made.second));
    const SurfaceTextures remade = source.ensure(other);
    EXPECT_EQ(other.resources.size(), 1u);
    EXPECT_EQ(source.sets_made(), 2u);
    EXPECT_TRUE(glIsTexture(remade.first) && glIsTexture(remade.second));
    other.release_all();
}

}  // namespace
