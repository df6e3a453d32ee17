// Runs "holloform-grid squares" (the tool named by HOLLOFORM_GRID_TOOL).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "persistence/GridFile.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class SquaresTool : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tool = std::getenv("HOLLOFORM_GRID_TOOL");
        if (!tool) GTEST_SKIP() << "HOLLOFORM_GRID_TOOL is not set";
        tool_ = tool;
        prefix_ = ::testing::TempDir() + "/squares_tool_test_" + std::to_string(getpid()) + "_";
        VoxelGrid grid(2, false);
        grid.set_voxel(10, 10, 10);
        save_grid(grid, 0, path("grid"));
    }
    void TearDown() override {
        for (const char* name : {"grid", "obj", "out", "err"}) std::remove(path(name).c_str());
    }

    std::string path(const char* name) const { return prefix_ + name; }

    // Runs the squares command on the test grid; returns the exit status.
    int squares(const std::string& arguments) {
        const std::string command = "'" + tool_ + "' squares '" + path("grid") + "' " + arguments + " >'" +
                                    path("out") + "' 2>'" + path("err") + "'";
        const int raw = std::system(command.c_str());
        out_ = read_file(path("out"));
        err_ = read_file(path("err"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    std::string tool_, prefix_, out_, err_;
};

TEST_F(SquaresTool, PrintsOneVertexPerLine) {
    ASSERT_EQ(squares("8 8 8 12 12 12"), 0) << err_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 24);
    EXPECT_EQ(out_.substr(0, 35), "0 -0 0\n0 -2 0\n0 -2 2\n0 -0 2\n2 -0 0\n");

    // Clear inside and solid outside: 6 faces of the voxel and 150 of the walls.
    ASSERT_EQ(squares("8 8 8 12 12 12 --outside-solid --max-dim 4"), 0) << err_;
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 4 * 156);
    EXPECT_EQ(out_.substr(0, out_.find('\n')), "3 2 -2");  // corner (13, 8, 8) of the far x wall
}

TEST_F(SquaresTool, WritesAnObjFileOfSharedCorners) {
    ASSERT_EQ(squares("8 8 8 12 12 12 --obj '" + path("obj") + "'"), 0) << err_;
    EXPECT_EQ(out_, "");
    const std::string obj = read_file(path("obj"));
    EXPECT_EQ(obj.substr(0, obj.find('\n')), "v 0 -0 0");
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'v'), 8);
    EXPECT_EQ(std::count(obj.begin(), obj.end(), 'f'), 6);
    EXPECT_NE(obj.find("\nf 1 2 3 4\n"), std::string::npos);
}

TEST_F(SquaresTool, RejectsBoxesOutsideTheGridOrReversed) {
    EXPECT_EQ(squares("0 0 0 64 1 1"), 1);
    EXPECT_NE(err_.find("X1 = 64 lies outside the grid (0 to 63)"), std::string::npos) << err_;
    EXPECT_EQ(squares("0 5 0 1 4 1"), 1);
    EXPECT_NE(err_.find("Y0 = 5 is above Y1 = 4"), std::string::npos) << err_;
    EXPECT_EQ(out_, "");
}

}  // namespace
