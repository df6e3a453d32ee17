// Whole frames drawn offscreen (Mesa's software renderer through EGL) and
// read back pixel by pixel.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/EditContext.h"
#include "core/RenderFrame.h"
#include "core/SettingIds.h"
#include "grid/World.h"
#include "render/FacePainter.h"
#include "support/EglContext.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

using Rgb = std::array<int, 3>;

Rgb rgb_at(const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p = &pixels[(size_t(y) * kWidth + x) * 4];
    return Rgb{p[0], p[1], p[2]};
}

Rgb face_colour(uint32_t index) {
    const Rgba& c = FacePainter::kColours[index];
    return Rgb{int(std::lround(c[0] * 255)), int(std::lround(c[1] * 255)), int(std::lround(c[2] * 255))};
}

bool close(const Rgb& a, const Rgb& b) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 1) return false;
    return true;
}

// The first solid voxel along a ray, found cell by cell.
struct RayHit {
    bool found = false;
    uint32_t colour_index = 0;  // of the face the ray entered through
    double point[3] = {};
};

RayHit cast_ray(const VoxelGrid& grid, const Vector3& origin, const Vector3& direction, double max_t) {
    int64_t cell[3];
    int step[3];
    double t_next[3], t_delta[3];
    for (int a = 0; a < 3; ++a) {
        const double o = origin[a], d = direction[a];
        cell[a] = int64_t(std::floor(o));
        step[a] = d > 0 ? 1 : -1;
        t_delta[a] = d != 0 ? std::fabs(1.0 / d) : INFINITY;
        t_next[a] = d > 0 ? (cell[a] + 1 - o) / d : d < 0 ? (o - cell[a]) / -d : INFINITY;
    }
    RayHit hit;
    for (;;) {
        const int a = t_next[0] <= t_next[1] && t_next[0] <= t_next[2] ? 0 : t_next[1] <= t_next[2] ? 1 : 2;
        const double t = t_next[a];
        if (t > max_t) return hit;
        cell[a] += step[a];
        t_next[a] += t_delta[a];
        const bool inside = cell[0] >= 0 && cell[1] >= 0 && cell[2] >= 0 && cell[0] < grid.side() &&
                            cell[1] < grid.side() && cell[2] < grid.side();
        if (inside && grid.get_voxel(uint32_t(cell[0]), uint32_t(cell[1]), uint32_t(cell[2]))) {
            hit.found = true;
            hit.colour_index = step[a] > 0 ? a : a + 3;
            for (int k = 0; k < 3; ++k) hit.point[k] = origin[k] + direction[k] * t;
            return hit;
        }
    }
}

// The view ray through the centre of pixel (x, y): 40 degrees of vertical
// field of view, the eye's axes from the current view.
Vector3 pixel_direction(const View& view, int x, int y) {
    const double half_height = std::tan(20.0 * M_PI / 180.0);
    const double aspect = double(kWidth) / kHeight;
    const double u = ((x + 0.5) / kWidth * 2 - 1) * half_height * aspect;
    const double v = ((y + 0.5) / kHeight * 2 - 1) * half_height;
    const Vector3 r = view.right_vector(), up = view.up_vector(), f = view.forward_vector();
    return Vector3(float(r.x * u + up.x * v + f.x), float(r.y * u + up.y * v + f.y), float(r.z * u + up.z * v + f.z));
}

// Away from the edges of the voxel faces, where rasterisation may go either way.
bool clear_of_edges(const RayHit& hit) {
    int central = 0;
    for (double c : hit.point) {
        const double f = c - std::floor(c);
        if (f > 0.04 && f < 0.96) ++central;
    }
    return central == 2;  // the coordinate on the face's own axis is whole
}

class FrameRender : public ::testing::Test {
protected:
    void SetUp() override {
        if (!egl_.ok()) GTEST_SKIP() << "no EGL context: " << egl_.failure();
        context_ = std::make_unique<EditContext>();
        context_->reshape(0, 0, kWidth, kHeight);
        context_->set_bool(BoolFoggingOn, false);
        context_->set_bool(BoolP_DoPhysics, false);
        // A 3 x 4 x 3 block a few voxels in front of the start camera, which
        // sits at (224, 272, 224) looking along (1, 0, 1).
        auto grid = std::make_unique<VoxelGrid>(3, false);
        for (uint32_t x = 227; x < 230; ++x)
            for (uint32_t y = 270; y < 274; ++y)
                for (uint32_t z = 227; z < 230; ++z) grid->set_voxel(x, y, z);
        install_grid(context_->world(), std::move(grid), 0);
    }
    void TearDown() override { context_.reset(); }  // releases textures while the GL context is current

    void show(bool squares, bool surface) {
        context_->set_bool(BoolDisplayGridAsSquares, squares);
        context_->set_bool(BoolDisplayGridAsLimitMCA, surface);
    }

    // Pixels showing a face colour, and all pixels that are not background.
    void count_pixels(int& face_pixels, int& drawn_pixels) {
        face_pixels = drawn_pixels = 0;
        const std::vector<uint8_t> pixels = egl_.pixels();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = rgb_at(pixels, x, y);
                if (c != Rgb{0, 0, 0}) ++drawn_pixels;
                for (uint32_t i = 0; i < 6; ++i) face_pixels += close(c, face_colour(i)) ? 1 : 0;
            }
    }

    EglContext egl_{kWidth, kHeight};
    std::unique_ptr<EditContext> context_;
};

TEST_F(FrameRender, SquaresShowTheFaceColourOfTheFaceEachPixelSees) {
    show(true, false);
    render_frame(*context_);
    const std::vector<uint8_t> pixels = egl_.pixels();
    const View& view = context_->view();
    int compared = 0, matched = 0;
    bool seen[6] = {};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const RayHit hit = cast_ray(context_->world().grid(), view.eye_position(), pixel_direction(view, x, y), 60);
            if (!hit.found || !clear_of_edges(hit)) continue;
            ++compared;
            if (close(rgb_at(pixels, x, y), face_colour(hit.colour_index))) {
                ++matched;
                seen[hit.colour_index] = true;
            }
        }
    ASSERT_GT(compared, 2000);
    EXPECT_GT(matched, compared * 97 / 100) << "overlay lines may cover a few pixels, no more";
    EXPECT_TRUE(seen[0] && seen[2]) << "the -x and -z faces face the camera";
    EXPECT_FALSE(seen[1] || seen[3] || seen[4] || seen[5]);
}

TEST_F(FrameRender, WithoutClearingThePreviousPixelsStay) {
    show(false, false);
    context_->set_bool(BoolD_HierarchyContainingFocus, false);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    context_->set_bool(BoolD_ClearBuffers, false);
    render_frame(*context_);
    EXPECT_EQ(egl_.pixel(2, kHeight - 3), (std::array<uint8_t, 4>{255, 0, 0, 255}));
    context_->set_bool(BoolD_ClearBuffers, true);
    context_->set_float(FloatClearB, 1.0f);
    render_frame(*context_);
    EXPECT_EQ(egl_.pixel(2, kHeight - 3), (std::array<uint8_t, 4>{0, 0, 255, 255}));
}

TEST_F(FrameRender, WireframeOutlinesThePolygons) {
    show(true, false);
    render_frame(*context_);
    int solid_faces, solid_drawn;
    count_pixels(solid_faces, solid_drawn);
    context_->set_bool(BoolWireGrid, true);
    render_frame(*context_);
    int wire_faces, wire_drawn;
    count_pixels(wire_faces, wire_drawn);
    EXPECT_GT(solid_faces, 4000);
    EXPECT_GT(wire_faces, 100) << "the edges are drawn";
    EXPECT_LT(wire_faces, solid_faces / 4) << "the insides are not";
}

TEST_F(FrameRender, LimitSurfaceIsLitAndTextured) {
    show(false, true);
    context_->set_bool(BoolD_TexturingOn, false);
    // Lights are placed under the previous frame's camera: from the second
    // frame on they stay put.
    render_frame(*context_);
    render_frame(*context_);
    const std::vector<uint8_t> plain = egl_.pixels();

    // The lit pass adds the textured colour D times the lit colour L to L:
    // where the checkerboard is black the surface looks as it does
    // untextured, where it is pink it is clearly brighter.
    context_->set_bool(BoolD_TexturingOn, true);
    render_frame(*context_);
    const std::vector<uint8_t> textured = egl_.pixels();
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

TEST_F(FrameRender, DisplayModesWriteTheLightingSetting) {
    const struct { bool squares, surface, lighting; } modes[] = {
        {true, false, false}, {false, true, true}, {true, false, false}, {true, true, true}};
    for (const auto& mode : modes) {
        show(mode.squares, mode.surface);
        render_frame(*context_);
        EXPECT_EQ(context_->query_bool(BoolLightingOn), mode.lighting) << mode.squares << mode.surface;
    }
    show(false, false);
    context_->set_bool(BoolLightingOn, false);
    render_frame(*context_);
    EXPECT_FALSE(context_->query_bool(BoolLightingOn)) << "without a display mode the setting stays";
}

// The cadence itself is the face report's own; here the count it reports.
TEST_F(FrameRender, SquaresReportTheirFaceCount) {
    show(true, false);
    context_->set_bool(BoolCountFaces, true);
    // The report counter is process-wide: run up to the first report.
    int frame = 0;
    std::string out;
    while (out.empty() && frame < 40) {
        ::testing::internal::CaptureStdout();
        render_frame(*context_);
        out = ::testing::internal::GetCapturedStdout();
        ++frame;
    }
    const uint32_t faces = 2 * (3 * 4 + 3 * 3 + 4 * 3);
    EXPECT_EQ(out, "Faces: " + std::to_string(faces) + "\n");
}

TEST_F(FrameRender, ZeroHeightViewportKeepsTheProjectionFinite) {
    context_->reshape(0, 0, kWidth, 0);
    show(true, true);
    render_frame(*context_);
    double projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (double element : projection) EXPECT_TRUE(std::isfinite(element));
}

}  // namespace
