// The surface mesh's normals and texture data, the connectivity overlay and
// the face report (no OpenGL needed).
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "interaction/GeometryExpect.h"
#include "render/Connectivity.h"
#include "render/FaceReport.h"
#include "render/GridDisplay.h"
#include "render/SurfaceMesh.h"

namespace {

TEST(SurfaceMesh, NormalsAverageFaceDirectionsAndStayFinite) {
    SurfaceMesh mesh;
    // Two triangles of a tent folded along the y axis: faces up-left and up-right.
    const uint32_t ridge0 = mesh.add_vertex(0, 0, 0), ridge1 = mesh.add_vertex(0, 1, 0);
    const uint32_t left = mesh.add_vertex(-1, 0, -1), right = mesh.add_vertex(1, 0, -1);
    mesh.add_triangle(ridge0, ridge1, left);
    mesh.add_triangle(ridge0, right, ridge1);
    // Zero-area triangles: repeated corners, and three corners on a line.
    const uint32_t a = mesh.add_vertex(5, 5, 5), b = mesh.add_vertex(6, 6, 6), c = mesh.add_vertex(7, 7, 7);
    mesh.add_triangle(a, b, c);
    mesh.add_triangle(ridge0, ridge0, right);
    // The same triangle wound both ways: its normals cancel.
    const uint32_t p = mesh.add_vertex_int(10, 0, 0), q = mesh.add_vertex_int(11, 0, 0),
                   r = mesh.add_vertex_int(10, 1, 0);
    mesh.add_triangle(p, q, r);
    mesh.add_triangle(p, r, q);
    const uint32_t unused = mesh.add_vertex(3, 3, 3);

    mesh.compute_normals();
    const float s = float(1 / std::sqrt(2.0));
    expect_near(mesh.normal(ridge0), Vector3(0, 0, 1), 1e-6);  // the degenerate triangle added nothing
    expect_near(mesh.normal(ridge1), Vector3(0, 0, 1), 1e-6);
    expect_near(mesh.normal(left), Vector3(-s, 0, s), 1e-6);
    expect_near(mesh.normal(right), Vector3(s, 0, s), 1e-6);
    for (uint32_t v : {a, b, c, p, q, r, unused}) EXPECT_EQ(mesh.normal(v), Vector3(0, 0, 0)) << "vertex " << v;
}

TEST(SurfaceMesh, TextureDataProjectsPositionsAndBlendsByNormal) {
    SurfaceMesh mesh;
    const float n = 0.6f, m = 0.8f;
    // Three triangles whose vertex normals come out as (0, 1, 0), (0.6, 0, 0.8)
    // and (1, 0, 0): one each. The normals computed after the first are stale
    // by the time the texture data is asked for, and are computed again.
    mesh.add_triangle(mesh.add_vertex(0, 3, 0), mesh.add_vertex(0, 3, 1), mesh.add_vertex(1, 3, 0));
    mesh.compute_normals();
    mesh.add_triangle(mesh.add_vertex(10, 0, 20), mesh.add_vertex(10 + m, 0, 20 - n), mesh.add_vertex(10, 1, 20));
    mesh.add_triangle(mesh.add_vertex(4, 4, 4), mesh.add_vertex(4, 5, 4), mesh.add_vertex(4, 4, 5));

    const float scale = 0.25f;
    mesh.compute_texture_data(3.0f, 1.0f, 6.0f, scale);
    // The corner at (10.8, 0, 19.4) projected along y, x and z; the offsets
    // within one texture repeat are 0.75, 0.25 and 0.5.
    const float x = (10.8f - 3) * scale + 0.75f, y = (0.0f - 1) * scale + 0.25f, z = (19.4f - 6) * scale + 0.5f;
    const float expected[3][2] = {{x, z}, {y, z}, {x, y}};
    for (uint32_t set = 0; set < 3; ++set) {
        EXPECT_FLOAT_EQ(mesh.texture_s(set, 4), expected[set][0]) << set;
        EXPECT_FLOAT_EQ(mesh.texture_t(set, 4), expected[set][1]) << set;
    }

    // Facing y: all projection along y; with no x or z part, none along z
    // either; 0.8 * 255 along z for the (0.6, 0, 0.8) normal.
    const int alphas[][2] = {{255, 0}, {0, 204}, {0, 0}};
    for (uint32_t vertex = 0; vertex < mesh.vertex_count(); ++vertex)
        for (uint32_t set = 0; set < 2; ++set) {
            EXPECT_EQ(int(mesh.colour(set, vertex)[3]), alphas[vertex / 3][set]) << vertex;
            for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(mesh.colour(set, vertex)[channel], 255);
        }
}

// Writes every call as one short line.
class RecordingOverlay final : public OverlayDrawer {
public:
    void begin(uint32_t kind) override { out << "begin " << kind << '\n'; }
    void end() override { out << "end\n"; }
    void set_colour(const float c[4]) override {
        out << "colour " << c[0] << ' ' << c[1] << ' ' << c[2] << ' ' << c[3] << '\n';
    }
    void segment(const Vector3& a, const Vector3& b) override {
        out << "segment " << a.x << ' ' << a.y << ' ' << a.z << " to " << b.x << ' ' << b.y << ' ' << b.z << '\n';
    }
    void set_point_size(float size) override { out << "size " << size << '\n'; }
    void point(const Vector3& a) override { out << "point " << a.x << ' ' << a.y << ' ' << a.z << '\n'; }
    std::ostringstream out;
};

TEST(Connectivity, HalfLinksInKeyOrderAndLonelyVerticesInPink) {
    SurfaceVertexSet set(3);
    auto key = [&](uint32_t x, uint32_t y, uint32_t z) { return set.make_key(x, y, z); };
    const VertexIndex a = set.find_or_create_index(key(5, 5, 6));
    const VertexIndex b = set.find_or_create_index(key(5, 7, 5));
    set.find_or_create(key(4, 9, 9));    // lonely, inside
    const VertexIndex a_links[] = {b};
    const VertexIndex b_links[] = {a, set.find_or_create_index(key(20, 5, 5))};  // outside the box: not drawn
    set.set_vertex(key(5, 5, 6), 1, a_links);
    set.set_vertex(key(5, 7, 5), 2, b_links);

    RecordingOverlay drawer;
    draw_connectivity(set, IntBox{4, 5, 5, 6, 9, 9}, drawer);
    EXPECT_EQ(drawer.out.str(),
              "colour 0.8 0.8 0.9 1\nsize 8\nbegin 0\n"
              // (4, 9, 9) comes first in key order
              "colour 1 0.8 0.8 1\nsegment 4 9 9 to 0 0 0\nend\nbegin 1\npoint 4 9 9\nend\nbegin 0\n"
              "colour 0.8 0.8 0.9 1\n"
              "segment 5 5 6 to 5 6 5.5\n"
              "segment 5 7 5 to 5 6 5.5\nsegment 5 7 5 to 12.5 6 5\n"
              "end\n");
}

// The report's count is faces / 10 displays, so its lines say when it came.
TEST(FaceReport, FirstAtThe31stDisplayThenEvery30th) {
    FaceReport report;
    std::ostringstream out;
    for (uint32_t display = 1; display <= 125; ++display) report.count_display(display * 10, out);
    EXPECT_EQ(out.str(), "Faces: 310\nFaces: 610\nFaces: 910\nFaces: 1210\n");
    EXPECT_EQ(report.displays_since_report(), 5u);
}

TEST(SurfaceFrameCounter, NeverTakesZero) {
    EXPECT_EQ(frame_after(1), 2u);
    EXPECT_EQ(frame_after(0xFFFFFFFEu), 0xFFFFFFFFu);
    EXPECT_EQ(frame_after(0xFFFFFFFFu), 1u);
    const uint32_t before = surface_frame();
    EXPECT_NE(before, 0u);
    advance_surface_frame();
    EXPECT_EQ(surface_frame(), frame_after(before));
}

}  // namespace
