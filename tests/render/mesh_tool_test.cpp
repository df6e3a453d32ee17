// holloform-grid mesh, run as a separate process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

#include "grid/World.h"
#include "persistence/GridFile.h"
#include "persistence/MeshExport.h"
#include "render/LimitSurfaceSweep.h"
#include "support/ToolProcess.h"

namespace {

class MeshTool : public ToolProcessTest {
protected:
    void SetUp() override {
        ToolProcessTest::SetUp();
        if (IsSkipped()) return;
        // A ball of radius 5 and a 2 x 2 x 2 cube in a clear grid of 2 levels.
        auto grid = std::make_unique<VoxelGrid>(2, false);
        for (uint32_t x = 10; x <= 30; ++x)
            for (uint32_t y = 10; y <= 30; ++y)
                for (uint32_t z = 10; z <= 30; ++z)
                    if ((x - 20) * (x - 20) + (y - 20) * (y - 20) + (z - 20) * (z - 20) <= 25) grid->set_voxel(x, y, z);
        for (uint32_t i = 0; i < 8; ++i) grid->set_voxel(40 + (i & 1), 40 + (i >> 1 & 1), 40 + (i >> 2));
        save_grid(*grid, 0, path("grid"));
    }
    void TearDown() override {
        for (const char* name : {"grid", "mesh.obj", "mesh.stl", "mesh.ply"}) std::remove(path(name).c_str());
    }
    int run(const std::string& arguments) { return run_tool("mesh '" + path("grid") + "' " + arguments); }

    // The mesh of the box after `frames` sweeps of a fresh world, as the tool
    // should build it.
    std::string expected_obj(const IntBox& box, uint32_t frames) {
        World world;
        LoadedGrid loaded = load_grid(path("grid"));
        install_grid(world, std::move(loaded.grid), loaded.boundary_flag);
        PhysicsParameters physics;
        physics.do_physics = frames > 1;
        SurfaceMesh mesh;
        for (uint32_t frame = 1; frame <= frames; ++frame) {
            mesh.reset();
            sweep_limit_surface(world, box, mesh, frame, physics);
        }
        std::ostringstream out;
        write_mesh(TriangleMeshView{mesh.positions().data(), 4, mesh.vertex_count(), mesh.indices().data(),
                                    mesh.index_count()},
                   MeshFormat::Obj, out);
        return out.str();
    }
};

TEST_F(MeshTool, WritesTheSweptSurfaceInEachFormatAndRejectsBadBoxes) {
    const IntBox box{12, 12, 12, 45, 45, 45};
    const std::string out = " --out '" + path("mesh.");
    ASSERT_EQ(run("12 12 12 45 45 45" + out + "obj'"), 0) << err_;
    const std::string obj = read_file(path("mesh.obj"));
    EXPECT_EQ(obj, expected_obj(box, 1));
    ASSERT_EQ(run("12 12 12 45 45 45 --steps 3" + out + "obj'"), 0);
    EXPECT_EQ(read_file(path("mesh.obj")), expected_obj(box, 4));  // physics moved the vertices
    const size_t triangles = std::count(obj.begin(), obj.end(), 'f');
    ASSERT_GT(triangles, 100u);
    ASSERT_EQ(run("12 12 12 45 45 45" + out + "stl'"), 0);
    EXPECT_EQ(read_file(path("mesh.stl")).size(), 84 + 50 * triangles);
    ASSERT_EQ(run("12 12 12 45 45 45" + out + "ply'"), 0);
    EXPECT_EQ(read_file(path("mesh.ply")).compare(0, 4, "ply\n"), 0);

    std::remove(path("mesh.obj").c_str());
    EXPECT_EQ(run("12 12 12 64 45 45" + out + "obj'"), 1);
    EXPECT_EQ(run("12 50 12 45 45 45" + out + "obj'"), 1);
    EXPECT_EQ(run("12 12 12 45 45 45" + out + "off'"), 1);
    EXPECT_EQ(run("12 12 12 45 45 45"), 2) << "--out is required";
    EXPECT_TRUE(read_file(path("mesh.obj")).empty());
}

}  // namespace
