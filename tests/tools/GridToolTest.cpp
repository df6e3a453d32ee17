// Runs the holloform-grid tool named by HOLLOFORM_GRID_TOOL: new, info, check,
// info --surface, brush and squares (an empty box said on standard error),
// import and export, mesh.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "grid/GridTestSupport.h"
#include "grid/World.h"
#include "persistence/MeshExport.h"
#include "render/LimitSurfaceSweep.h"
#include "support/ToolProcess.h"

namespace {

class GridTool : public ToolProcessTest {
protected:
    // The test's files live in a folder of their own, removed afterwards.
    void SetUp() override {
        ToolProcessTest::SetUp();
        if (!IsSkipped()) std::filesystem::create_directories(prefix_ += "grid_tool/");
    }
    void TearDown() override {
        if (!IsSkipped()) std::filesystem::remove_all(prefix_);
    }
    void write_grid(const VoxelGrid& grid, uint32_t flag) const {
        std::ofstream(path("grid"), std::ios::binary) << grid_test::saved_bytes(grid, flag);
    }

    // Runs the tool with @name standing for the test's file of that name.
    int run(const std::string& arguments) {
        return run_tool(std::regex_replace(arguments, std::regex("@([\\w.]+)"), "'" + prefix_ + "$1'"));
    }

    // Runs each command in turn. Its "status | standard output | standard
    // error" must equal the expectation, or, where that holds a '~', begin
    // with what comes before it and contain what comes after.
    void expect_outcomes(std::initializer_list<std::pair<std::string, std::string>> steps) {
        for (const auto& [arguments, expected] : steps) {
            const int status = run(arguments);
            const std::string got = std::to_string(status) + " | " + out_ + " | " + err_;
            const size_t tilde = expected.find('~');
            if (tilde == std::string::npos) {
                EXPECT_EQ(got, expected) << arguments;
            } else {
                EXPECT_TRUE(got.compare(0, tilde, expected, 0, tilde) == 0 &&
                            got.find(expected.substr(tilde + 1), tilde) != std::string::npos)
                    << arguments << ": " << got;
            }
        }
    }
};

TEST_F(GridTool, NewInfoAndCheck) {
    expect_outcomes({{"new --levels 3 --solid @grid", "0 |  | "},
                     {"info --surface @grid", "0 | levels: 3\nboundary: 1\nnodes_level_1: 0\nleaf_blocks: 0\n"
                                              "solid_voxels: 134217728\nsolid_bounds: 0 0 0 511 511 511\n"
                                              "surface_vertices: 0\nsurface_links: 0\n | "},
                     {"check @grid", "0 | ok\n | "},
                     {"new --levels 2 --clear @grid", "0 |  | "},
                     {"info @grid", "0 | levels: 2\nboundary: 0\nleaf_blocks: 0\nsolid_voxels: 0\nsolid_bounds: none\n | "}});
    VoxelGrid edited(4, true);
    edited.clear_voxel(1000, 2000, 3000);
    write_grid(edited, 7);
    expect_outcomes({{"info @grid", "0 | levels: 4\nboundary: 7\nnodes_level_1: 1\nnodes_level_2: 1\nleaf_blocks: 1\n"
                                    "solid_voxels: 68719476735\nsolid_bounds: 0 0 0 4095 4095 4095\n | "}});
    VoxelGrid cube(3, false);
    for (uint32_t i = 0; i < 8; ++i) cube.set_voxel(10 + (i >> 2 & 1), 10 + (i >> 1 & 1), 10 + (i & 1));
    write_grid(cube, 0);
    expect_outcomes({{"info --surface @grid", "0 | levels: 3\nboundary: 0\nnodes_level_1: 1\nleaf_blocks: 1\n"
                                              "solid_voxels: 8\nsolid_bounds: 10 10 10 11 11 11\n"
                                              "surface_vertices: 8\nsurface_links: 36\n | "}});
}

TEST_F(GridTool, FileFailuresExitWithStatusOneAndBadArgumentsWithTwo) {
    std::remove(path("fifo").c_str());
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);  // refused at once, not waited on
    std::ofstream(path("grid"), std::ios::binary) << "Holloform\n";
    expect_outcomes({{"check @grid", "1 |  | Input failed.\nistream read() failed.\n"}});
    std::ofstream(path("grid"), std::ios::binary) << std::string("Holloform?\0\2\0\0\0", 15);
    expect_outcomes({{"info @grid", "1 |  | \n\nUnknown file type.\n\nUnknown file type.\n"},
                     {"check @missing", "1 |  | Unable to open named file.\nNo such file or directory\n"},
                     {"new --levels 2 --solid /nonexistent-folder/grid",
                      "1 |  | Unable to open file for writing.\nNo such file or directory\n"},
                     {"info @fifo", "1 |  | Unable to open named file.\n"},
                     {"info --surface @missing", "1 | ~"},
                     {"brush @missing @result --shape 1 --add 10 10 10", "1 | ~"}});
    for (const char* arguments : {"", "frobnicate", "new --levels 3 out.grid", "new --levels 9 --solid out.grid",
                                  "new --levels three --clear out.grid", "new --levels 3 --solid --clear out.grid",
                                  "info", "check a b"}) {
        expect_outcomes({{arguments, "2 |  | ~usage: holloform-grid "}});
    }
    write_grid(VoxelGrid(3, false), 0);
    for (const char* arguments : {"--shape 9 --add 10 10 10", "--shape 1 --add --remove 10 10 10",
                                  "--shape 1 10 10 10", "--shape 1 --add 10 -10 10",
                                  "--shape 1 --add --mirror xw 10 10 10", "--shape 1 --add --mirror xx 10 10 10",
                                  "--shape 1 --add --mirror x --mirror-centre 10 512 10 10 10 10"}) {
        expect_outcomes({{std::string("brush @grid @result ") + arguments, "2 | ~"}});
    }
}

TEST_F(GridTool, BrushAddsAndRemovesLikeTheEditor) {
    const auto result_voxel = [&](uint32_t x, uint32_t y, uint32_t z) {
        return load_grid(path("result")).grid->get_voxel(x, y, z);
    };
    write_grid(VoxelGrid(3, false), 0);
    expect_outcomes({{"brush @grid @result --shape 1 --add 10 10 10",
                      "0 | brush: cube 2x2x2\nsolid_voxels_before: 0\nsolid_voxels_after: 8\n | "},
                     {"info @result", "0 | ~boundary: 0\n"},
                     {"brush @grid @result --shape 5 --add 10 10 10",  // a row falls away
                      "0 | brush: row x\nsolid_voxels_before: 0\nsolid_voxels_after: 0\n | "}});
    // Two voxels removed along x with one between: that one goes too. An
    // anchor outside the grid edits nothing, as in the editor.
    write_grid(VoxelGrid(2, true), 1);
    expect_outcomes({{"brush @grid @result --shape 2 --remove 10 10 10", "0 | ~"},
                     {"brush @result @result --shape 2 --remove 12 10 10",
                      "0 | brush: voxel\nsolid_voxels_before: 262143\nsolid_voxels_after: 262141\n | "}});
    EXPECT_FALSE(result_voxel(11, 10, 10));
    expect_outcomes({{"brush @grid @result --shape 3 --remove 4000 0 0",
                      "0 | brush: cube 3x3x3\nsolid_voxels_before: 262144\nsolid_voxels_after: 262144\n | "},
                     // Mirrored across x and z: about the middle (x -> 63 - x),
                     // then about the middle of voxel 30 (z -> 60 - z).
                     {"brush @grid @result --shape 2 --remove --mirror xz 10 10 10",
                      "0 | brush: voxel\nsolid_voxels_before: 262144\nsolid_voxels_after: 262140\n | "}});
    EXPECT_FALSE(result_voxel(53, 10, 53));
    expect_outcomes({{"brush @grid @result --shape 2 --remove --mirror z --mirror-centre 0 0 30 10 10 10", "0 | ~"}});
    EXPECT_FALSE(result_voxel(10, 10, 50));
}

TEST_F(GridTool, ImportsAndExportsModels) {
    std::ofstream(path("cube.obj")) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 0 0 1\nv 1 0 1\nv 0 1 1\nv 1 1 1\n"
                                       "f 1 3 4 2\nf 5 6 8 7\nf 1 2 6 5\nf 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\n";
    expect_outcomes(
        {{"import @cube.obj @result --size 10", "0 | voxels: 1000\nlevels: 2\n | ~import: 100%"},
         {"export @result @model.vox", "0 | voxels: 1000\nmodels: 1\n | "},
         {"import @model.vox @grid --levels 3", "0 | voxels: 1000\nlevels: 3\n | ~"},
         {"import @model.vox @grid --at 2 2 2 --into @result", "0 | ~"},
         {"info @grid", "0 | ~solid_voxels: 2000\n"},
         {"import @model.vox @grid --at 60 2 2 --into @result",
          "1 | ~model.vox: the model (10 x 10 x 10 voxels) placed at (60, 2, 2) reaches outside"},
         {"export @result @model.vox 0 0 0 5 5 5", "1 | ~model.vox: the box to export holds no solid voxel"},
         {"import @missing @grid", "1 | ~" + path("missing") + ": "},
         {"import @cube.obj @grid --at 2 2 2", "2 | ~"}});
}

// A clear 2-level grid holding the one voxel (10, 10, 10).
TEST_F(GridTool, SquaresPrintOneVertexPerLineOrWriteAnObjFileInsideTheGrid) {
    VoxelGrid grid(2, false);
    grid.set_voxel(10, 10, 10);
    write_grid(grid, 0);
    expect_outcomes({{"squares @grid 8 8 8 12 12 12", "0 | 0 -0 0\n0 -2 0\n0 -2 2\n0 -0 2\n2 -0 0\n~"}});
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 24);
    // Clear inside and solid outside: 6 faces of the voxel and 150 of the
    // walls, the first corner (13, 8, 8) of the far x wall.
    expect_outcomes({{"squares @grid 8 8 8 12 12 12 --outside-solid --max-dim 4", "0 | 3 2 -2\n~"}});
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 4 * 156);
    EXPECT_EQ(err_, "");
    expect_outcomes({{"squares @grid 20 20 20 30 30 30", "0 |  | ~the box holds no surface"},
                     {"squares @grid 8 8 8 12 12 12 --obj @obj", "0 |  | "},
                     {"squares @grid 0 0 0 64 1 1", "1 |  | ~X1 = 64 lies outside the grid (0 to 63)"},
                     {"squares @grid 0 5 0 1 4 1", "1 |  | ~Y0 = 5 is above Y1 = 4"}});
    const std::string obj = read_file(path("obj"));
    EXPECT_EQ(obj.substr(0, obj.find('\n')), "v 0 -0 0");
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'v'), 8);
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'f'), 6);
    EXPECT_NE(obj.find("\nf 1 2 3 4\n"), std::string::npos);
}

// The limit surface of the box after `frames` sweeps of a fresh world made
// from the grid file, as the mesh command should write it.
std::string swept_obj(const std::string& grid_path, const IntBox& box, uint32_t frames) {
    World world;
    LoadedGrid loaded = load_grid(grid_path);
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

TEST_F(GridTool, MeshWritesTheSweptSurfaceInEachFormat) {
    // A ball of radius 5 and a 2 x 2 x 2 cube in a clear grid of 2 levels.
    VoxelGrid grid(2, false);
    for (uint32_t x = 10; x <= 30; ++x)
        for (uint32_t y = 10; y <= 30; ++y)
            for (uint32_t z = 10; z <= 30; ++z)
                if ((x - 20) * (x - 20) + (y - 20) * (y - 20) + (z - 20) * (z - 20) <= 25) grid.set_voxel(x, y, z);
    for (uint32_t i = 0; i < 8; ++i) grid.set_voxel(40 + (i & 1), 40 + (i >> 1 & 1), 40 + (i >> 2));
    write_grid(grid, 0);
    const IntBox box{12, 12, 12, 45, 45, 45};
    expect_outcomes({{"mesh @grid 12 12 12 45 45 45 --out @mesh.obj", "0 | ~"}});
    const std::string obj = read_file(path("mesh.obj"));
    EXPECT_EQ(obj, swept_obj(path("grid"), box, 1));
    const size_t triangles = std::count(obj.begin(), obj.end(), 'f');
    ASSERT_GT(triangles, 100u);
    expect_outcomes({{"mesh @grid 12 12 12 45 45 45 --steps 3 --out @mesh.obj", "0 | ~"}});
    EXPECT_EQ(read_file(path("mesh.obj")), swept_obj(path("grid"), box, 4));  // physics moved the vertices
    std::remove(path("mesh.obj").c_str());
    expect_outcomes({{"mesh @grid 12 12 12 45 45 45 --out @mesh.stl", "0 | ~"},
                     {"mesh @grid 12 12 12 45 45 45 --out @mesh.ply", "0 | ~"},
                     {"mesh @grid 12 12 12 64 45 45 --out @mesh.obj", "1 | ~"},
                     {"mesh @grid 12 50 12 45 45 45 --out @mesh.obj", "1 | ~"},
                     {"mesh @grid 12 12 12 45 45 45 --out @mesh.off", "1 | ~"},
                     {"mesh @grid 12 12 12 45 45 45", "2 | ~"}});  // --out is required
    EXPECT_EQ(read_file(path("mesh.stl")).size(), 84 + 50 * triangles);
    EXPECT_EQ(read_file(path("mesh.ply")).compare(0, 4, "ply\n"), 0);
    EXPECT_TRUE(read_file(path("mesh.obj")).empty());
}

}  // namespace
