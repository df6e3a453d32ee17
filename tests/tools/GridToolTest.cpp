// Runs the holloform-grid tool named by HOLLOFORM_GRID_TOOL: new, info, check,
// info --surface, brush and squares (an empty box said on standard error),
// import and export.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>

#include "grid/GridTestSupport.h"
#include "support/ToolProcess.h"

namespace {

class GridTool : public ToolProcessTest {
protected:
    void TearDown() override {
        for (const char* name : kFiles) std::remove(path(name).c_str());
    }
    void write_grid(const VoxelGrid& grid, uint32_t flag) const {
        std::ofstream(path("grid"), std::ios::binary) << grid_test::saved_bytes(grid, flag);
    }

    // Runs the tool with @name standing for each of the test's files (kFiles).
    int run(std::string arguments) {
        for (const char* name : kFiles) {
            const std::string token = std::string("@") + name;
            for (size_t at; (at = arguments.find(token)) != std::string::npos;) {
                arguments.replace(at, token.size(), "'" + path(name) + "'");
            }
        }
        return run_tool(arguments);
    }

    // "status | standard output | standard error".
    std::string outcome(const std::string& arguments) {
        const int status = run(arguments);
        return std::to_string(status) + " | " + out_ + " | " + err_;
    }

    static constexpr const char* kFiles[] = {"grid", "result", "obj", "missing", "fifo", "cube.obj", "model.vox"};
};

TEST_F(GridTool, NewInfoAndCheck) {
    ASSERT_EQ(outcome("new --levels 3 --solid @grid"), "0 |  | ");
    EXPECT_EQ(read_file(path("grid")).size(), 179u);
    EXPECT_EQ(outcome("info @grid"),
              "0 | levels: 3\nboundary: 1\nnodes_level_1: 0\nleaf_blocks: 0\nsolid_voxels: 134217728\n"
              "solid_bounds: 0 0 0 511 511 511\n | ");
    EXPECT_EQ(outcome("check @grid"), "0 | ok\n | ");
    ASSERT_EQ(outcome("new --levels 2 --clear @grid"), "0 |  | ");
    EXPECT_EQ(outcome("info @grid"), "0 | levels: 2\nboundary: 0\nleaf_blocks: 0\nsolid_voxels: 0\nsolid_bounds: none\n | ");

    VoxelGrid edited(4, true);
    edited.clear_voxel(1000, 2000, 3000);
    write_grid(edited, 7);
    EXPECT_EQ(outcome("info @grid"), "0 | levels: 4\nboundary: 7\nnodes_level_1: 1\nnodes_level_2: 1\n"
                                     "leaf_blocks: 1\nsolid_voxels: 68719476735\nsolid_bounds: 0 0 0 4095 4095 4095\n | ");
}

TEST_F(GridTool, FileFailuresExitWithStatusOne) {
    std::ofstream(path("grid"), std::ios::binary) << "Holloform\n";
    EXPECT_EQ(outcome("check @grid"), "1 |  | Input failed.\nistream read() failed.\n");
    std::ofstream(path("grid"), std::ios::binary) << std::string("Holloform?\0\2\0\0\0", 15);
    EXPECT_EQ(outcome("info @grid"), "1 |  | \n\nUnknown file type.\n\nUnknown file type.\n");
    EXPECT_EQ(outcome("check @missing"), "1 |  | Unable to open named file.\nNo such file or directory\n");
    EXPECT_EQ(outcome("new --levels 2 --solid /nonexistent-folder/grid"),
              "1 |  | Unable to open file for writing.\nNo such file or directory\n");
    // A FIFO is refused at once, not waited on.
    std::remove(path("fifo").c_str());
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0644), 0);
    EXPECT_EQ(outcome("info @fifo"), "1 |  | Unable to open named file.\n");
    EXPECT_EQ(run("info --surface @missing"), 1);
    EXPECT_EQ(run("brush @missing @result --shape 1 --add 10 10 10"), 1);
}

TEST_F(GridTool, BadArgumentsExitWithStatusTwo) {
    for (const char* arguments : {"", "frobnicate", "new --levels 3 out.grid", "new --levels 9 --solid out.grid",
                                  "new --levels three --clear out.grid", "new --levels 3 --solid --clear out.grid",
                                  "info", "check a b"}) {
        const std::string result = outcome(arguments);
        EXPECT_EQ(result.substr(0, 5), "2 |  ") << arguments;
        EXPECT_NE(result.find("usage: holloform-grid "), std::string::npos) << arguments << ": " << result;
    }
    write_grid(VoxelGrid(3, false), 0);
    for (const char* arguments : {"--shape 9 --add 10 10 10", "--shape 1 --add --remove 10 10 10",
                                  "--shape 1 10 10 10", "--shape 1 --add 10 -10 10",
                                  "--shape 1 --add --mirror xw 10 10 10", "--shape 1 --add --mirror xx 10 10 10",
                                  "--shape 1 --add --mirror x --mirror-centre 10 512 10 10 10 10"}) {
        EXPECT_EQ(run(std::string("brush @grid @result ") + arguments), 2) << arguments;
    }
}

TEST_F(GridTool, InfoSurfaceCountsVerticesAndLinks) {
    VoxelGrid grid(3, false);
    for (uint32_t i = 0; i < 8; ++i) grid.set_voxel(10 + (i >> 2 & 1), 10 + (i >> 1 & 1), 10 + (i & 1));
    write_grid(grid, 0);
    ASSERT_EQ(run("info --surface @grid"), 0);
    EXPECT_EQ(out_, "levels: 3\nboundary: 0\nnodes_level_1: 1\nleaf_blocks: 1\nsolid_voxels: 8\n"
                    "solid_bounds: 10 10 10 11 11 11\nsurface_vertices: 8\nsurface_links: 36\n");
    write_grid(VoxelGrid(2, true), 1);
    ASSERT_EQ(run("info --surface @grid"), 0);
    EXPECT_EQ(out_, "levels: 2\nboundary: 1\nleaf_blocks: 0\nsolid_voxels: 262144\n"
                    "solid_bounds: 0 0 0 63 63 63\nsurface_vertices: 0\nsurface_links: 0\n");
}

TEST_F(GridTool, BrushAddsAndRemovesLikeTheEditor) {
    write_grid(VoxelGrid(3, false), 0);
    ASSERT_EQ(run("brush @grid @result --shape 1 --add 10 10 10"), 0);
    EXPECT_EQ(out_, "brush: cube 2x2x2\nsolid_voxels_before: 0\nsolid_voxels_after: 8\n");
    EXPECT_EQ(load_grid(path("result")).boundary_flag, 0u);
    ASSERT_EQ(run("brush @grid @result --shape 5 --add 10 10 10"), 0);  // a row falls away
    EXPECT_EQ(out_, "brush: row x\nsolid_voxels_before: 0\nsolid_voxels_after: 0\n");

    // Two voxels removed along x with one between: that one goes too.
    write_grid(VoxelGrid(2, true), 1);
    ASSERT_EQ(run("brush @grid @result --shape 2 --remove 10 10 10"), 0);
    ASSERT_EQ(run("brush @result @result --shape 2 --remove 12 10 10"), 0);
    EXPECT_EQ(out_, "brush: voxel\nsolid_voxels_before: 262143\nsolid_voxels_after: 262141\n");
    EXPECT_FALSE(load_grid(path("result")).grid->get_voxel(11, 10, 10));
    // An anchor outside the grid edits nothing, as in the editor.
    ASSERT_EQ(run("brush @grid @result --shape 3 --remove 4000 0 0"), 0);
    EXPECT_EQ(out_, "brush: cube 3x3x3\nsolid_voxels_before: 262144\nsolid_voxels_after: 262144\n");

    // Mirrored across x and z: about the middle (x -> 63 - x), then about
    // the middle of voxel 30 (z -> 60 - z).
    ASSERT_EQ(run("brush @grid @result --shape 2 --remove --mirror xz 10 10 10"), 0);
    EXPECT_EQ(out_, "brush: voxel\nsolid_voxels_before: 262144\nsolid_voxels_after: 262140\n");
    EXPECT_FALSE(load_grid(path("result")).grid->get_voxel(53, 10, 53));
    ASSERT_EQ(run("brush @grid @result --shape 2 --remove --mirror z --mirror-centre 0 0 30 10 10 10"), 0);
    EXPECT_FALSE(load_grid(path("result")).grid->get_voxel(10, 10, 50));
}

TEST_F(GridTool, ImportsAndExportsModels) {
    std::ofstream(path("cube.obj")) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nv 0 0 1\nv 1 0 1\nv 0 1 1\nv 1 1 1\n"
                                       "f 1 3 4 2\nf 5 6 8 7\nf 1 2 6 5\nf 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\n";
    ASSERT_EQ(run("import @cube.obj @result --size 10"), 0) << err_;
    EXPECT_EQ(out_, "voxels: 1000\nlevels: 2\n");
    EXPECT_NE(err_.find("import: 100%"), std::string::npos) << err_;
    ASSERT_EQ(run("export @result @model.vox"), 0) << err_;
    EXPECT_EQ(out_, "voxels: 1000\nmodels: 1\n");
    ASSERT_EQ(run("import @model.vox @grid --levels 3"), 0) << err_;
    EXPECT_EQ(out_, "voxels: 1000\nlevels: 3\n");
    ASSERT_EQ(run("import @model.vox @grid --at 2 2 2 --into @result"), 0) << err_;
    ASSERT_EQ(run("info @grid"), 0);
    EXPECT_NE(out_.find("solid_voxels: 2000\n"), std::string::npos) << out_;

    EXPECT_EQ(run("import @model.vox @grid --at 60 2 2 --into @result"), 1);
    EXPECT_NE(err_.find("model.vox: the model (10 x 10 x 10 voxels) placed at (60, 2, 2) reaches outside"),
              std::string::npos) << err_;
    EXPECT_EQ(run("export @result @model.vox 0 0 0 5 5 5"), 1);
    EXPECT_NE(err_.find("model.vox: the box to export holds no solid voxel"), std::string::npos) << err_;
    EXPECT_EQ(run("import @missing @grid"), 1);
    EXPECT_NE(err_.find(path("missing") + ": "), std::string::npos) << err_;
    EXPECT_EQ(run("import @cube.obj @grid --at 2 2 2"), 2);
}

// A clear 2-level grid holding the one voxel (10, 10, 10).
class SquaresTool : public GridTool {
protected:
    void SetUp() override {
        GridTool::SetUp();
        VoxelGrid grid(2, false);
        grid.set_voxel(10, 10, 10);
        write_grid(grid, 0);
    }
};

TEST_F(SquaresTool, PrintsOneVertexPerLineOrWritesAnObjFile) {
    ASSERT_EQ(run("squares @grid 8 8 8 12 12 12"), 0) << err_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 24);
    EXPECT_EQ(out_.substr(0, 35), "0 -0 0\n0 -2 0\n0 -2 2\n0 -0 2\n2 -0 0\n");

    // Clear inside and solid outside: 6 faces of the voxel and 150 of the walls.
    ASSERT_EQ(run("squares @grid 8 8 8 12 12 12 --outside-solid --max-dim 4"), 0) << err_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 4 * 156);
    EXPECT_EQ(out_.substr(0, out_.find('\n')), "3 2 -2");  // corner (13, 8, 8) of the far x wall
    EXPECT_EQ(err_, "");

    // A box without surface still succeeds, but says so.
    ASSERT_EQ(run("squares @grid 20 20 20 30 30 30"), 0);
    EXPECT_EQ(out_, "");
    EXPECT_NE(err_.find("the box holds no surface"), std::string::npos) << err_;

    ASSERT_EQ(run("squares @grid 8 8 8 12 12 12 --obj @obj"), 0) << err_;
    EXPECT_EQ(out_, "");
    const std::string obj = read_file(path("obj"));
    EXPECT_EQ(obj.substr(0, obj.find('\n')), "v 0 -0 0");
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'v'), 8);
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'f'), 6);
    EXPECT_NE(obj.find("\nf 1 2 3 4\n"), std::string::npos);
}

TEST_F(SquaresTool, RejectsBoxesOutsideTheGridOrReversed) {
    EXPECT_EQ(run("squares @grid 0 0 0 64 1 1"), 1);
    EXPECT_NE(err_.find("X1 = 64 lies outside the grid (0 to 63)"), std::string::npos) << err_;
    EXPECT_EQ(run("squares @grid 0 5 0 1 4 1"), 1);
    EXPECT_NE(err_.find("Y0 = 5 is above Y1 = 4"), std::string::npos) << err_;
    EXPECT_EQ(out_, "");
}

}  // namespace
