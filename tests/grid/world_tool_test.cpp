// The holloform-grid subcommands that go through a World: info --surface and
// brush.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "grid/GridTestSupport.h"

namespace {

class WorldTool : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tool = std::getenv("HOLLOFORM_GRID_TOOL");
        if (!tool) GTEST_SKIP() << "HOLLOFORM_GRID_TOOL is not set";
        tool_ = tool;
        prefix_ = ::testing::TempDir() + "/world_tool_test_" + std::to_string(getpid()) + "_";
    }
    void TearDown() override {
        for (const char* name : {"in", "result", "out"}) std::remove(path(name).c_str());
    }
    std::string path(const char* name) const { return prefix_ + name; }

    void write_grid(const VoxelGrid& grid, uint32_t flag) const {
        std::ofstream(path("in"), std::ios::binary) << grid_test::saved_bytes(grid, flag);
    }

    // Runs the tool with @in and @result standing for the two files; returns
    // the exit status and keeps the standard output.
    int run(std::string arguments) {
        for (const char* name : {"in", "result"}) {
            const std::string token = std::string("@") + name;
            for (size_t at; (at = arguments.find(token)) != std::string::npos;) {
                arguments.replace(at, token.size(), "'" + path(name) + "'");
            }
        }
        const int raw = std::system(("'" + tool_ + "' " + arguments + " >'" + path("out") + "' 2>/dev/null").c_str());
        std::ifstream in(path("out"));
        std::ostringstream content;
        content << in.rdbuf();
        out_ = content.str();
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    std::string tool_, prefix_, out_;
};

TEST_F(WorldTool, InfoSurfaceCountsVerticesAndLinks) {
    VoxelGrid grid(3, false);
    for (uint32_t i = 0; i < 8; ++i) grid.set_voxel(10 + (i >> 2 & 1), 10 + (i >> 1 & 1), 10 + (i & 1));
    write_grid(grid, 0);
    ASSERT_EQ(run("info --surface @in"), 0);
    EXPECT_EQ(out_, "levels: 3\nboundary: 0\nnodes_level_1: 1\nleaf_blocks: 1\nsolid_voxels: 8\n"
                    "surface_vertices: 8\nsurface_links: 36\n");
    write_grid(VoxelGrid(2, true), 1);
    ASSERT_EQ(run("info --surface @in"), 0);
    EXPECT_EQ(out_, "levels: 2\nboundary: 1\nleaf_blocks: 0\nsolid_voxels: 262144\nsurface_vertices: 0\nsurface_links: 0\n");
    EXPECT_EQ(run("info --surface @result"), 1);  // no such file
}

TEST_F(WorldTool, BrushAddsAndRemovesLikeTheEditor) {
    write_grid(VoxelGrid(3, false), 0);
    ASSERT_EQ(run("brush @in @result --shape 1 --add 10 10 10"), 0);
    EXPECT_EQ(out_, "brush: cube 2x2x2\nsolid_voxels_before: 0\nsolid_voxels_after: 8\n");
    EXPECT_EQ(load_grid(path("result")).boundary_flag, 0u);
    ASSERT_EQ(run("brush @in @result --shape 5 --add 10 10 10"), 0);  // a row falls away
    EXPECT_EQ(out_, "brush: row x\nsolid_voxels_before: 0\nsolid_voxels_after: 0\n");

    // Two voxels removed along x with one between: that one goes too.
    write_grid(VoxelGrid(2, true), 1);
    ASSERT_EQ(run("brush @in @result --shape 2 --remove 10 10 10"), 0);
    ASSERT_EQ(run("brush @result @result --shape 2 --remove 12 10 10"), 0);
    EXPECT_EQ(out_, "brush: voxel\nsolid_voxels_before: 262143\nsolid_voxels_after: 262141\n");
    EXPECT_FALSE(load_grid(path("result")).grid->get_voxel(11, 10, 10));
    // An anchor outside the grid edits nothing, as in the editor.
    ASSERT_EQ(run("brush @in @result --shape 3 --remove 4000 0 0"), 0);
    EXPECT_EQ(out_, "brush: cube 3x3x3\nsolid_voxels_before: 262144\nsolid_voxels_after: 262144\n");

    EXPECT_EQ(run("brush @in @result --shape 9 --add 10 10 10"), 2);
    EXPECT_EQ(run("brush @in @result --shape 1 --add --remove 10 10 10"), 2);
    EXPECT_EQ(run("brush @in @result --shape 1 10 10 10"), 2);
    EXPECT_EQ(run("brush @in @result --shape 1 --add 10 -10 10"), 2);
    EXPECT_EQ(run("brush missing @result --shape 1 --add 10 10 10"), 1);
}

}  // namespace
