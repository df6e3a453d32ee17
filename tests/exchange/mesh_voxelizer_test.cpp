// Meshes into voxels: closed meshes against their analytic inside tests (the
// voxel-centre rule), a cube with a hole and a flipped triangle, and mesh
// files read through the asset import library, bad ones refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

#include "exchange/ExchangeError.h"
#include "exchange/VoxBytes.h"
#include "exchange/MeshImport.h"
#include "exchange/MeshVoxelizer.h"
#include "persistence/MeshExport.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

void add_quad(TriangleSoup& soup, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    soup.indices.insert(soup.indices.end(), {a, b, c, a, c, d});
}

// Corner i at (hi or lo on x, y, z by bits 0, 1, 2); faces z low, z high,
// y low, y high, x low, x high, wound outwards.
TriangleSoup box_mesh(const double (&lo)[3], const double (&hi)[3]) {
    TriangleSoup soup;
    for (int i = 0; i < 8; ++i) soup.positions.insert(soup.positions.end(), {i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]});
    const uint32_t faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& f : faces) add_quad(soup, f[0], f[1], f[2], f[3]);
    return soup;
}

// A closed surface of revolution-like grid: point(u, v) for u in [0, 2 pi),
// v over `rows` + 1 rings; `closed_v` joins the last ring to the first.
TriangleSoup parametric_mesh(int columns, int rows, bool closed_v,
                             const std::function<std::array<double, 3>(double, double)>& point) {
    TriangleSoup soup;
    const int rings = closed_v ? rows : rows + 1;
    for (int r = 0; r < rings; ++r)
        for (int c = 0; c < columns; ++c) {
            const auto p = point(2 * kPi * c / columns, (closed_v ? 2 * kPi : kPi) * r / rows);
            soup.positions.insert(soup.positions.end(), p.begin(), p.end());
        }
    auto at = [&](int r, int c) { return uint32_t((r % rings) * columns + (c % columns)); };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) add_quad(soup, at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c));
    return soup;
}

// Voxels whose centre lies further than `margin` from the surface must
// agree with `inside`; returns how many disagree.
uint64_t mismatches(const VoxelizedMesh& solid, const std::function<double(double, double, double)>& signed_distance,
                    double margin) {
    uint64_t wrong = 0;
    const auto& d = solid.dims();
    for (uint32_t z = 0; z < d[2]; ++z)
        for (uint32_t y = 0; y < d[1]; ++y)
            for (uint32_t x = 0; x < d[0]; ++x) {
                const double s = signed_distance(x + 0.5, y + 0.5, z + 0.5);
                if (std::fabs(s) > margin && (s < 0) != solid.solid(x, y, z)) ++wrong;
            }
    return wrong;
}

TEST(MeshVoxelizer, ClosedMeshesFollowTheVoxelCentreRule) {
    // A box with faces off the voxel centres: exact, also with a triangle
    // missing and another one flipped.
    const double lo[3] = {3.3, 4.5, 2.0}, hi[3] = {40.1, 33.5, 20.9};
    const auto box_distance = [&](double x, double y, double z) {
        return std::max({lo[0] - x, x - hi[0], lo[1] - y, y - hi[1], lo[2] - z, z - hi[2]});
    };
    const std::array<uint32_t, 3> dims{44, 36, 24};
    TriangleSoup box = box_mesh(lo, hi);
    const VoxelizedMesh exact = voxelize(box, dims);
    EXPECT_EQ(mismatches(exact, box_distance, 0.0), 0u);

    std::swap(box.indices[0], box.indices[1]);           // flipped
    box.indices.erase(box.indices.end() - 3, box.indices.end());  // a hole in the x high face
    const VoxelizedMesh damaged = voxelize(box, dims);
    EXPECT_EQ(mismatches(damaged, box_distance, 0.0), 0u);

    // A sphere of radius 100 (its poles are degenerate triangles) and a
    // torus about the z axis (tube radius 12 around a circle of 30): every
    // voxel right that is not within the polygons' flattening of the surface.
    const double r = 100, c = 102;
    const TriangleSoup sphere = parametric_mesh(256, 128, false, [&](double u, double v) {
        return std::array<double, 3>{c + r * std::sin(v) * std::cos(u), c + r * std::sin(v) * std::sin(u), c + r * std::cos(v)};
    });
    auto ball = [&](double x, double y, double z) { return std::hypot(x - c, y - c, z - c) - r; };
    EXPECT_EQ(mismatches(voxelize(sphere, {204, 204, 204}), ball, 0.05), 0u);
    const double big = 30, tube = 12, t = 44;
    const TriangleSoup ring = parametric_mesh(192, 96, true, [&](double u, double v) {
        return std::array<double, 3>{t + (big + tube * std::cos(v)) * std::cos(u), t + (big + tube * std::cos(v)) * std::sin(u), 14 + tube * std::sin(v)};
    });
    auto torus = [&](double x, double y, double z) { return std::hypot(std::hypot(x - t, y - t) - big, z - 14) - tube; };
    EXPECT_EQ(mismatches(voxelize(ring, {88, 88, 28}), torus, 0.05), 0u);
}

TEST(MeshVoxelizer, MeshFilesAreReadInEveryFormatAndBadOnesRefused) {
    const std::string prefix = ::testing::TempDir() + "/mesh_voxelizer_test_";
    const double lo[3] = {-1, 2, 0}, hi[3] = {1, 4, 2};
    const TriangleSoup cube = box_mesh(lo, hi);
    std::vector<float> positions(cube.positions.begin(), cube.positions.end());
    const TriangleMeshView view{positions.data(), 3, uint32_t(positions.size() / 3), cube.indices.data(), cube.indices.size()};
    std::ofstream(prefix + "text.stl") << "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 2 0 0\n"
                                          "vertex 0 2 0\nendloop\nendfacet\nendsolid t\n";
    for (const char* type : {".obj", ".stl", ".ply"}) {
        write_mesh(view, prefix + "cube" + type);
        const VoxelizedMesh solid = voxelize_mesh_file(prefix + "cube" + type, MeshScale{10, 0.0});
        EXPECT_EQ(solid.voxel_count(), 1000u) << type;
        EXPECT_EQ(voxelize_mesh_file(prefix + "cube" + type, MeshScale{0, 0.5}).voxel_count(), 64u) << type;
    }

    std::ofstream(prefix + "points.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n";
    std::ofstream(prefix + "nan.obj") << "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n";
    std::ofstream(prefix + "huge.obj") << "v 0 0 0\nv 1e30 0 0\nv 0 1 0\nf 1 2 3\n";
    const std::pair<std::pair<std::string, MeshScale>, std::string> cases[] = {
        {{"missing.obj", MeshScale{}}, "missing.obj: "},
        {{"points.obj", MeshScale{}}, "holds no triangles"},
        {{"nan.obj", MeshScale{}}, "not a number"},
        {{"huge.obj", MeshScale{}}, "beyond 1e12"},
        {{"cube.obj", MeshScale{0, 1e-7}}, "needs more than 8 levels"},
        {{"cube.obj", MeshScale{5000, 0.0}}, "at most 4096"},
        {{"text.stl", MeshScale{}}, "holds no solid voxel"},
    };
    for (const auto& c : cases) {
        const std::string message = vox_build::refusal([&] {
            const VoxelizedMesh solid = voxelize_mesh_file(prefix + c.first.first, c.first.second);
            if (solid.voxel_count() == 0) throw ExchangeError(c.first.first, "holds no solid voxel");
        });
        EXPECT_NE(message.find(c.second), std::string::npos) << message << " (expected: " << c.second << ")";
    }
    for (const char* name : {"text.stl", "cube.obj", "cube.stl", "cube.ply", "points.obj", "nan.obj", "huge.obj"})
        std::remove((prefix + name).c_str());
}

}  // namespace
