// Runs the holloform-grid tool named by HOLLOFORM_GRID_TOOL.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "grid/GridTestSupport.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class GridTool : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tool = std::getenv("HOLLOFORM_GRID_TOOL");
        if (!tool) GTEST_SKIP() << "HOLLOFORM_GRID_TOOL is not set";
        tool_ = tool;
        prefix_ = ::testing::TempDir() + "/grid_tool_test_" + std::to_string(getpid()) + "_";
        grid_ = "'" + path("grid") + "'";
    }
    void TearDown() override {
        for (const char* name : {"grid", "out", "err"}) std::remove(path(name).c_str());
    }
    std::string path(const char* name) const { return prefix_ + name; }

    // Runs the tool; returns "status | standard output | standard error".
    std::string run(const std::string& arguments) const {
        const std::string command = "'" + tool_ + "' " + arguments + " >'" + path("out") + "' 2>'" + path("err") + "'";
        const int raw = std::system(command.c_str());
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return std::to_string(status) + " | " + read_file(path("out")) + " | " + read_file(path("err"));
    }

    std::string tool_, prefix_, grid_;
};

TEST_F(GridTool, NewInfoAndCheck) {
    ASSERT_EQ(run("new --levels 3 --solid " + grid_), "0 |  | ");
    EXPECT_EQ(read_file(path("grid")).size(), 179u);
    EXPECT_EQ(run("info " + grid_),
              "0 | levels: 3\nboundary: 1\nnodes_level_1: 0\nleaf_blocks: 0\nsolid_voxels: 134217728\n | ");
    EXPECT_EQ(run("check " + grid_), "0 | ok\n | ");
    ASSERT_EQ(run("new --levels 2 --clear " + grid_), "0 |  | ");
    EXPECT_EQ(run("info " + grid_), "0 | levels: 2\nboundary: 0\nleaf_blocks: 0\nsolid_voxels: 0\n | ");

    VoxelGrid edited(4, true);
    edited.clear_voxel(1000, 2000, 3000);
    std::ofstream(path("grid"), std::ios::binary) << grid_test::saved_bytes(edited, 7);
    EXPECT_EQ(run("info " + grid_), "0 | levels: 4\nboundary: 7\nnodes_level_1: 1\nnodes_level_2: 1\n"
                                    "leaf_blocks: 1\nsolid_voxels: 68719476735\n | ");
}

TEST_F(GridTool, FileFailuresExitWithStatusOne) {
    std::ofstream(path("grid"), std::ios::binary) << "Holloform\n";
    EXPECT_EQ(run("check " + grid_), "1 |  | Input failed.\nistream read() failed.\n");
    std::ofstream(path("grid"), std::ios::binary) << std::string("Holloform?\0\2\0\0\0", 15);
    EXPECT_EQ(run("info " + grid_), "1 |  | \n\nUnknown file type.\n\nUnknown file type.\n");
    EXPECT_EQ(run("check '" + path("missing") + "'"), "1 |  | Unable to open named file.\n");
    EXPECT_EQ(run("new --levels 2 --solid /nonexistent-folder/grid"), "1 |  | Unable to open file for writing.\n");
}

TEST_F(GridTool, BadArgumentsExitWithStatusTwo) {
    for (const char* arguments : {"", "frobnicate", "new --levels 3 out.grid", "new --levels 9 --solid out.grid",
                                  "new --levels three --clear out.grid", "new --levels 3 --solid --clear out.grid",
                                  "info", "check a b"}) {
        const std::string result = run(arguments);
        EXPECT_EQ(result.substr(0, 5), "2 |  ") << arguments;
        EXPECT_NE(result.find("usage: holloform-grid "), std::string::npos) << arguments << ": " << result;
    }
}

}  // namespace
