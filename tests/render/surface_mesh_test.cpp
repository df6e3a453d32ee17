// Normals and texture data of the surface mesh (no OpenGL needed).
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "interaction/GeometryExpect.h"
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
    for (uint32_t v = 0; v < mesh.vertex_count(); ++v) {
        const Vector3 n = mesh.normal(v);
        EXPECT_TRUE(std::isfinite(n.x + n.y + n.z)) << "vertex " << v;
    }
    const float s = float(1 / std::sqrt(2.0));
    expect_near(mesh.normal(ridge0), Vector3(0, 0, 1), 1e-6);  // the degenerate triangle added nothing
    expect_near(mesh.normal(ridge1), Vector3(0, 0, 1), 1e-6);
    expect_near(mesh.normal(left), Vector3(-s, 0, s), 1e-6);
    expect_near(mesh.normal(right), Vector3(s, 0, s), 1e-6);
    for (uint32_t v : {a, b, c, p, q, r, unused}) EXPECT_EQ(mesh.normal(v), Vector3(0, 0, 0)) << "vertex " << v;

    mesh.reset();
    EXPECT_EQ(mesh.vertex_count(), 0u);
    EXPECT_EQ(mesh.triangle_count(), 0u);
    mesh.compute_normals();
    EXPECT_TRUE(mesh.normals().empty());
}

TEST(SurfaceMesh, TextureDataProjectsPositionsAndBlendsByNormal) {
    SurfaceMesh mesh;
    const float n = 0.6f, m = 0.8f;
    // Three triangles whose vertex normals come out as (0, 1, 0), (0.6, 0, 0.8)
    // and (1, 0, 0): one each.
    mesh.add_triangle(mesh.add_vertex(0, 3, 0), mesh.add_vertex(0, 3, 1), mesh.add_vertex(1, 3, 0));
    mesh.add_triangle(mesh.add_vertex(10, 0, 20), mesh.add_vertex(10 + m, 0, 20 - n), mesh.add_vertex(10, 1, 20));
    mesh.add_triangle(mesh.add_vertex(4, 4, 4), mesh.add_vertex(4, 5, 4), mesh.add_vertex(4, 4, 5));
    mesh.compute_normals();

    const float scale = 0.25f;
    mesh.compute_texture_data(3.0f, 1.0f, 6.0f, scale);
    // The corner's offsets within one texture repeat: 0.75, 0.25, 0.5.
    const uint32_t v = 4;  // at (10.8, 0, 19.4)
    EXPECT_FLOAT_EQ(mesh.texture_s(0, v), (10.8f - 3) * scale + 0.75f);  // along y: (x, z)
    EXPECT_FLOAT_EQ(mesh.texture_t(0, v), (19.4f - 6) * scale + 0.5f);
    EXPECT_FLOAT_EQ(mesh.texture_s(1, v), (0.0f - 1) * scale + 0.25f);   // along x: (y, z)
    EXPECT_FLOAT_EQ(mesh.texture_t(1, v), (19.4f - 6) * scale + 0.5f);
    EXPECT_FLOAT_EQ(mesh.texture_s(2, v), (10.8f - 3) * scale + 0.75f);  // along z: (x, y)
    EXPECT_FLOAT_EQ(mesh.texture_t(2, v), (0.0f - 1) * scale + 0.25f);

    // Facing y: all projection along y; with no x or z part, none along z
    // either; 0.8 * 255 along z for the (0.6, 0, 0.8) normal.
    const int alphas[][2] = {{255, 0}, {0, 204}, {0, 0}};
    for (uint32_t corner : {0u, 3u, 6u})
        for (uint32_t set = 0; set < 2; ++set)
            EXPECT_EQ(int(mesh.colour(set, corner)[3]), alphas[corner / 3][set]) << corner;
    for (uint32_t vertex = 0; vertex < mesh.vertex_count(); ++vertex)
        for (uint32_t set = 0; set < 2; ++set)
            for (int channel = 0; channel < 3; ++channel) EXPECT_EQ(mesh.colour(set, vertex)[channel], 255);
}

// Texture data asked for without normals computes them rather than reading
// what another mesh left.
TEST(SurfaceMesh, TextureDataWithoutNormalsComputesThem) {
    SurfaceMesh mesh;
    mesh.add_triangle(mesh.add_vertex(0, 0, 0), mesh.add_vertex(0, 0, 1), mesh.add_vertex(1, 0, 0));
    mesh.compute_normals();
    mesh.add_triangle(mesh.add_vertex(0, 5, 0), mesh.add_vertex(0, 5, 1), mesh.add_vertex(1, 5, 0));
    mesh.compute_texture_data(0, 0, 0, 1.0f);
    EXPECT_EQ(mesh.normals().size(), mesh.positions().size());
    for (uint32_t v = 0; v < mesh.vertex_count(); ++v) EXPECT_EQ(mesh.colour(0, v)[3], 255);
}

}  // namespace
