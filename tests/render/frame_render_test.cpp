// Whole frames drawn offscreen (Mesa's software renderer through EGL) and
// read back pixel by pixel.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>

#include "core/EditContext.h"
#include "core/RenderFrame.h"
#include "core/SettingIds.h"
#include "grid/World.h"
#include "render/FacePainter.h"
#include "support/EglContext.h"

namespace {

constexpr int kWidth = 160, kHeight = 120;
// A 3 x 4 x 3 block a few voxels in front of the start camera, which sits at
// (224, 272, 224) looking along (1, 0, 1).
constexpr uint32_t kLower[3] = {227, 270, 227}, kUpper[3] = {230, 274, 230};
using Rgb = std::array<int, 3>;

Rgb rgb_at(const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p = &pixels[(size_t(y) * kWidth + x) * 4];
    return Rgb{p[0], p[1], p[2]};
}

// The face whose colour the pixel shows, or -1.
int face_colour_of(const Rgb& c) {
    for (int i = 0; i < 6; ++i) {
        bool same = true;
        for (int k = 0; k < 3; ++k) same &= std::abs(c[k] - int(std::lround(FacePainter::kColours[i][k] * 255))) <= 1;
        if (same) return i;
    }
    return -1;
}

// The face of the block that the view ray through the centre of pixel (x, y)
// enters (40 degrees of vertical field of view), as a colour index; -1 where
// the ray misses or meets a voxel edge, where rasterisation may go either way.
int face_seen(const View& view, int x, int y) {
    const double half_height = std::tan(20.0 * M_PI / 180.0);
    const double u = ((x + 0.5) / kWidth * 2 - 1) * half_height * kWidth / kHeight;
    const double v = ((y + 0.5) / kHeight * 2 - 1) * half_height;
    const Vector3 eye = view.eye_position(), r = view.right_vector(), up = view.up_vector(), f = view.forward_vector();
    double d[3], t_in = 0, t_out = INFINITY;
    int entry = -1;
    for (int a = 0; a < 3; ++a) {
        d[a] = r[a] * u + up[a] * v + f[a];
        const double t0 = (kLower[a] - eye[a]) / d[a], t1 = (kUpper[a] - eye[a]) / d[a];
        if (std::min(t0, t1) > t_in) t_in = std::min(t0, t1), entry = a;
        t_out = std::min(t_out, std::max(t0, t1));
    }
    if (entry < 0 || t_in >= t_out) return -1;
    for (int a = 0; a < 3; ++a) {
        const double c = eye[a] + d[a] * t_in, fraction = c - std::floor(c);
        if (a != entry && (fraction < 0.04 || fraction > 0.96)) return -1;
    }
    return d[entry] > 0 ? entry : entry + 3;
}

class FrameRender : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_EGL(egl_);
        context_ = std::make_unique<EditContext>();
        context_->reshape(0, 0, kWidth, kHeight);
        context_->set_bool(BoolFoggingOn, false);
        context_->set_bool(BoolP_DoPhysics, false);
        auto grid = std::make_unique<VoxelGrid>(3, false);
        for (uint32_t x = kLower[0]; x < kUpper[0]; ++x)
            for (uint32_t y = kLower[1]; y < kUpper[1]; ++y)
                for (uint32_t z = kLower[2]; z < kUpper[2]; ++z) grid->set_voxel(x, y, z);
        install_grid(context_->world(), std::move(grid), 0);
    }
    void TearDown() override { context_.reset(); }  // releases textures while the GL context is current

    std::vector<uint8_t> frame(bool squares, bool surface) {
        context_->set_bool(BoolDisplayGridAsSquares, squares);
        context_->set_bool(BoolDisplayGridAsLimitMCA, surface);
        render_frame(*context_);
        return egl_.pixels();
    }

    EglContext egl_{kWidth, kHeight};
    std::unique_ptr<EditContext> context_;
};

TEST_F(FrameRender, SquaresShowTheColourOfTheFaceEachPixelSeesAndWireframeOnlyTheEdges) {
    const std::vector<uint8_t> solid = frame(true, false);
    context_->set_bool(BoolWireGrid, true);
    const std::vector<uint8_t> wire = frame(true, false);
    int compared = 0, matched = 0, solid_faces = 0, wire_faces = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const int face = face_seen(context_->view(), x, y), shown = face_colour_of(rgb_at(solid, x, y));
            solid_faces += shown >= 0;
            wire_faces += face_colour_of(rgb_at(wire, x, y)) >= 0;
            compared += face >= 0;
            matched += face >= 0 && shown == face;
        }
    ASSERT_GT(compared, 2000);
    EXPECT_GT(matched, compared * 97 / 100) << "overlay lines may cover a few pixels, no more";
    EXPECT_GT(solid_faces, 4000);
    EXPECT_GT(wire_faces, 100) << "the edges are drawn";
    EXPECT_LT(wire_faces, solid_faces / 4) << "the insides are not";
}

TEST_F(FrameRender, LimitSurfaceIsLitAndTextured) {
    context_->set_bool(BoolD_TexturingOn, false);
    // Lights are placed under the previous frame's camera: from the second
    // frame on they stay put.
    frame(false, true);
    const std::vector<uint8_t> plain = frame(false, true);
    // The lit pass adds the textured colour D times the lit colour L to L:
    // where the checkerboard is black the surface looks as it does
    // untextured, where it is pink it is clearly brighter.
    context_->set_bool(BoolD_TexturingOn, true);
    const std::vector<uint8_t> textured = frame(false, true);
    int lit = 0, same = 0, brighter = 0, darker = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const Rgb p = rgb_at(plain, x, y), t = rgb_at(textured, x, y);
            if (p[0] < 60 || p[0] >= 250 || p[0] != p[1]) continue;  // grey lit surface, not saturated
            ++lit;
            same += std::abs(t[0] - p[0]) <= 8;
            brighter += t[0] > p[0] + 30;
            darker += t[0] < p[0] - 3;
        }
    EXPECT_GT(lit, 1000);
    EXPECT_GT(same, lit / 20);
    EXPECT_GT(brighter, lit / 4);
    EXPECT_LT(darker, lit / 50);
}

// The clear settings decide the background; the grid displays write the
// lighting setting, which without one stays as it is.
TEST_F(FrameRender, ClearAndLightingSettings) {
    context_->set_bool(BoolD_HierarchyContainingFocus, false);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    context_->set_bool(BoolD_ClearBuffers, false);
    frame(false, false);
    EXPECT_EQ(egl_.pixel(2, kHeight - 3), (std::array<uint8_t, 4>{255, 0, 0, 255})) << "the previous pixels stay";
    context_->set_bool(BoolD_ClearBuffers, true);
    context_->set_float(FloatClearB, 1.0f);
    frame(false, false);
    EXPECT_EQ(egl_.pixel(2, kHeight - 3), (std::array<uint8_t, 4>{0, 0, 255, 255}));

    const bool modes[][3] = {{1, 0, 0}, {0, 1, 1}, {1, 0, 0}, {1, 1, 1}, {0, 0, 0}, {0, 0, 1}};
    for (const auto& mode : modes) {
        if (!mode[0] && !mode[1]) context_->set_bool(BoolLightingOn, mode[2]);
        frame(mode[0], mode[1]);
        EXPECT_EQ(context_->query_bool(BoolLightingOn), mode[2]) << mode[0] << mode[1];
    }
}

// The cadence itself is the face report's own; here the count it reports.
// A window shrunk to no height still has a finite projection.
TEST_F(FrameRender, SquaresReportTheirFaceCountAndZeroHeightStaysFinite) {
    context_->set_bool(BoolCountFaces, true);
    std::string out;  // the report counter is process-wide: run up to the first report
    for (int frames = 0; out.empty() && frames < 40; ++frames) {
        ::testing::internal::CaptureStdout();
        frame(true, false);
        out = ::testing::internal::GetCapturedStdout();
    }
    EXPECT_EQ(out, "Faces: " + std::to_string(2 * (3 * 4 + 3 * 3 + 4 * 3)) + "\n");

    context_->reshape(0, 0, kWidth, 0);
    frame(true, true);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (double element : projection) EXPECT_TRUE(std::isfinite(element));
}

}  // namespace
