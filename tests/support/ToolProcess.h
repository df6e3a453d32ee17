// Running the holloform-grid tool as a separate process, and reading back
// the files it writes.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A fixture whose files are named by prefix_ + name, and which runs the tool
// named by HOLLOFORM_GRID_TOOL (the test is skipped without it).
class ToolProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tool = std::getenv("HOLLOFORM_GRID_TOOL");
        if (!tool) GTEST_SKIP() << "HOLLOFORM_GRID_TOOL is not set";
        tool_ = tool;
        prefix_ = ::testing::TempDir() + "/tool_test_" + std::to_string(getpid()) + "_";
    }
    std::string path(const std::string& name) const { return prefix_ + name; }

    // Runs the tool with the (already quoted) arguments; returns the exit
    // status and keeps both output streams. A tool that blocks is ended after
    // a minute rather than hanging the test.
    int run_tool(const std::string& arguments) {
        const std::string command =
            "timeout 60 '" + tool_ + "' " + arguments + " >'" + path("out") + "' 2>'" + path("err") + "'";
        const int raw = std::system(command.c_str());
        out_ = read_file(path("out"));
        err_ = read_file(path("err"));
        std::remove(path("out").c_str());
        std::remove(path("err").c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    std::string tool_, prefix_, out_, err_;
};
