// The OBJ, STL and PLY writers, read back by small parsers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "grid/GridTestSupport.h"
#include "persistence/Exception.h"
#include "persistence/MeshExport.h"

namespace {

using grid_test::u32_at;

struct Mesh {
    std::vector<float> positions;  // x, y, z, w per vertex
    std::vector<uint32_t> indices;

    TriangleMeshView view() const {
        return TriangleMeshView{positions.data(), 4, uint32_t(positions.size() / 4), indices.data(), indices.size()};
    }
    std::vector<float> xyz() const {
        std::vector<float> out;
        for (size_t i = 0; i < positions.size(); i += 4) out.insert(out.end(), &positions[i], &positions[i + 3]);
        return out;
    }
};

Mesh random_mesh(std::mt19937& rng) {
    Mesh mesh;
    std::uniform_real_distribution<float> coordinate(-300.0f, 300.0f);
    const uint32_t vertices = 3 + rng() % 40;
    for (uint32_t v = 0; v < vertices; ++v) mesh.positions.insert(mesh.positions.end(),
        {coordinate(rng), coordinate(rng), v % 7 == 0 ? -0.0f : coordinate(rng), 0.0f});
    const uint32_t triangles = rng() % 50;
    for (uint32_t i = 0; i < 3 * triangles; ++i) mesh.indices.push_back(rng() % vertices);
    return mesh;
}

std::string written(const Mesh& mesh, MeshFormat format) {
    std::ostringstream out(std::ios::binary);
    write_mesh(mesh.view(), format, out);
    return out.str();
}

// Reads the vertices and faces back; fails the test on anything unexpected.
void parse_obj(const std::string& text, std::vector<float>& xyz, std::vector<uint32_t>& indices) {
    std::istringstream in(text);
    for (std::string tag; in >> tag;) {
        ASSERT_TRUE(tag == "v" || tag == "f") << tag;
        for (int k = 0; k < 3; ++k) {
            float value;
            ASSERT_TRUE(in >> value);
            tag == "v" ? xyz.push_back(value) : indices.push_back(uint32_t(value) - 1);
        }
    }
}

float f32_at(const std::string& bytes, size_t offset) {
    const uint32_t bits = u32_at(bytes, offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(MeshExport, EveryFormatReadsBackTheSameMesh) {
    std::mt19937 rng(7);
    for (int round = 0; round < 30; ++round) {
        const Mesh mesh = random_mesh(rng);
        const size_t triangles = mesh.indices.size() / 3;

        std::vector<float> xyz;
        std::vector<uint32_t> indices;
        parse_obj(written(mesh, MeshFormat::Obj), xyz, indices);
        EXPECT_EQ(xyz, mesh.xyz());  // shortest round-trip text: exact floats
        EXPECT_EQ(indices, mesh.indices);

        const std::string stl = written(mesh, MeshFormat::Stl);
        ASSERT_EQ(stl.size(), 84 + 50 * triangles);
        EXPECT_NE(stl.compare(0, 5, "solid"), 0) << "a binary STL must not look like a text one";
        EXPECT_EQ(u32_at(stl, 80), triangles);
        for (size_t t = 0; t < triangles; ++t) {
            const size_t record = 84 + 50 * t;
            const double length = std::hypot(f32_at(stl, record), f32_at(stl, record + 4), f32_at(stl, record + 8));
            EXPECT_TRUE(length == 0.0 || std::fabs(length - 1.0) < 1e-5);
            for (int k = 0; k < 9; ++k)
                EXPECT_EQ(f32_at(stl, record + 12 + 4 * k), mesh.positions[4 * mesh.indices[3 * t + k / 3] + k % 3]);
            EXPECT_EQ(u32_at(stl, record + 46) >> 16, 0u);  // no attribute bytes
        }

        const std::string ply = written(mesh, MeshFormat::Ply);
        const std::string header = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                                   std::to_string(mesh.positions.size() / 4) +
                                   "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                                   std::to_string(triangles) +
                                   "\nproperty list uchar uint vertex_indices\nend_header\n";
        ASSERT_EQ(ply.compare(0, header.size(), header), 0);
        size_t at = header.size();
        std::vector<float> ply_xyz;
        for (size_t v = 0; v < mesh.positions.size() / 4 * 3; ++v, at += 4) ply_xyz.push_back(f32_at(ply, at));
        EXPECT_EQ(ply_xyz, mesh.xyz());
        std::vector<uint32_t> ply_indices;
        for (size_t t = 0; t < triangles; ++t) {
            ASSERT_EQ(ply.at(at++), 3);
            for (int k = 0; k < 3; ++k, at += 4) ply_indices.push_back(u32_at(ply, at));
        }
        EXPECT_EQ(ply_indices, mesh.indices);
        EXPECT_EQ(at, ply.size());
    }
}

TEST(MeshExport, RejectsBadIndicesAndUnknownExtensions) {
    Mesh mesh;
    mesh.positions = {0, 0, 0, 0, 1, 0, 0, 0};
    mesh.indices = {0, 1, 2};
    for (MeshFormat format : {MeshFormat::Obj, MeshFormat::Stl, MeshFormat::Ply}) {
        std::ostringstream out;
        EXPECT_THROW(write_mesh(mesh.view(), format, out), Util_E26EF::Exception);
        EXPECT_TRUE(out.str().empty());
    }
    MeshFormat format;
    const std::pair<const char*, MeshFormat> known[] = {
        {"dir.x/mesh.OBJ", MeshFormat::Obj}, {"a.stl", MeshFormat::Stl}, {"a.b.Ply", MeshFormat::Ply}};
    for (const auto& [path, expected] : known) EXPECT_TRUE(mesh_format_of_path(path, format) && format == expected) << path;
    for (const char* path : {"mesh", "mesh.off", "dir.obj/mesh", "mesh.obj.txt"})
        EXPECT_FALSE(mesh_format_of_path(path, format)) << path;
    mesh.indices = {0, 1, 1};
    EXPECT_THROW(write_mesh(mesh.view(), ::testing::TempDir() + "/mesh.off"), Util_E26EF::Exception);
    EXPECT_THROW(write_mesh(mesh.view(), ::testing::TempDir() + "/no such dir/mesh.obj"), Util_E26EF::Exception);
}

}  // namespace
