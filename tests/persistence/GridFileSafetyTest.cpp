// A save never destroys the previous file; loading refuses what is not a
// regular file without blocking; failures carry the system's reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>
#include <random>
#include <sstream>

#include "grid/GridTestSupport.h"
#include "support/ToolProcess.h"

namespace {

// A fresh, empty folder, removed with everything in it at the end of the test.
struct ScratchFolder {
    const std::string path;
    explicit ScratchFolder(const char* name) : path(::testing::TempDir() + "/" + name + "_" + std::to_string(getpid())) {
        EXPECT_EQ(system(("rm -rf '" + path + "' && mkdir '" + path + "'").c_str()), 0);
    }
    ~ScratchFolder() { EXPECT_EQ(system(("rm -rf '" + path + "'").c_str()), 0); }
};

std::vector<std::string> temporaries_in(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind(".holloform-", 0) == 0) names.push_back(entry.path().filename());
    return names;
}

// A clear 4-level grid with one voxel in each of 40^3 leaf blocks: a file of
// about 4.6 MB.
std::unique_ptr<VoxelGrid> big_grid() {
    auto grid = std::make_unique<VoxelGrid>(4, false);
    for (uint32_t n = 0; n < 40 * 40 * 40; ++n) grid->set_voxel(8 * (n % 40) + 1, 8 * (n / 40 % 40) + 2, 8 * (n / 1600) + 3);
    return grid;
}

// "message | errno text" of a file operation's failure.
std::string failure_with_reason(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const Util_E26EF::Exception& error) {
        return std::string(error.message) + " | " + (error.error_number ? std::strerror(error.error_number) : "-");
    }
    return "no failure";
}

TEST(GridFileSafety, KilledSavesLeaveTheOldFileAndLaterSavesSweepTheirTemporaries) {
    const ScratchFolder folder("killed_saves");
    const std::string path = folder.path + "/grid.hf";
    const std::unique_ptr<VoxelGrid> big = big_grid();
    const VoxelGrid& grid = *big;
    save_grid(grid, 0, path);
    std::mt19937 rng(7);
    for (uint32_t round = 1; round <= 6; ++round) {
        const pid_t saver = fork();
        if (saver == 0) {
            try {
                for (;;) save_grid(grid, round, path);
            } catch (...) {
                _exit(1);
            }
        }
        usleep(20000 + rng() % 200000);
        kill(saver, SIGKILL);
        waitpid(saver, nullptr, 0);
        const LoadedGrid loaded = load_grid(path);
        ASSERT_TRUE(grid_test::same_grid(*loaded.grid, grid)) << "after kill " << round;
        ASSERT_LE(loaded.boundary_flag, round);
    }

    // The killed savers' temporary files go at the next save; a live
    // process's stays, whatever its state.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string stale = ".holloform-" + std::to_string(gone) + "-1.tmp";
    const std::string live = ".holloform-" + std::to_string(getppid()) + "-1.tmp";
    for (const std::string& name : {stale, live}) std::ofstream(folder.path + "/" + name) << "partial";
    save_grid(VoxelGrid(2, true), 1, path);
    EXPECT_EQ(temporaries_in(folder.path), std::vector<std::string>{live});
    EXPECT_EQ(read_file(path), grid_test::saved_bytes(VoxelGrid(2, true), 1));
}

TEST(GridFileSafety, ASaveReplacesTheFileWholeOrLeavesItAsItWasAndLoadsOpenOnlyRegularFiles) {
    const ScratchFolder folder("replaced_saves");
    const std::string real = folder.path + "/real.hf", link = folder.path + "/link.hf";
    const VoxelGrid small(3, true);
    save_grid(small, 1, real);
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.hf", link.c_str()), 0);
    const std::string old_bytes = read_file(real);

    // A write that fails half way (here: beyond the file size limit) keeps the
    // old file and leaves no temporary file.
    const std::unique_ptr<VoxelGrid> big = big_grid();
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string failure = failure_with_reason([&] { save_grid(*big, 2, link); });
        _exit(failure == std::string("output failed. | ") + std::strerror(EFBIG) ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(read_file(real) == old_bytes);
    EXPECT_TRUE(temporaries_in(folder.path).empty());

    // Through the link, the file it points at is replaced; its mode is kept.
    save_grid(*big, 2, link);
    struct stat link_status, real_status;
    ASSERT_EQ(lstat(link.c_str(), &link_status), 0);
    EXPECT_TRUE(S_ISLNK(link_status.st_mode));
    ASSERT_EQ(stat(real.c_str(), &real_status), 0);
    EXPECT_EQ(real_status.st_mode & 07777, 0640u);
    EXPECT_TRUE(read_file(real) == grid_test::saved_bytes(*big, 2));

    // A name that cannot be made fails at the open, as a plain open would
    // (the module's file tests name a missing folder, a folder, a full
    // device and a missing file).
    const std::string cannot_write = "Unable to open file for writing. | ";
    for (const std::string& name : {folder.path + "/" + std::string(300, 'n'), std::string()}) {
        EXPECT_EQ(failure_with_reason([&] { save_grid(small, 1, name); }),
                  cannot_write + std::strerror(name.empty() ? ENOENT : ENAMETOOLONG));
    }
    EXPECT_TRUE(temporaries_in(folder.path).empty());

    // Loading refuses what is not a regular file, without blocking; a format
    // fault is no system failure.
    const std::string fifo = folder.path + "/fifo.hf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::ofstream(folder.path + "/junk.hf") << "junk";
    alarm(60);  // a load that blocks ends the test instead of hanging it
    EXPECT_EQ(failure_with_reason([&] { load_grid(fifo); }), "Unable to open named file. | -");
    alarm(0);
    EXPECT_EQ(failure_with_reason([&] { load_grid(folder.path + "/junk.hf"); }), "Input failed. | -");
}

}  // namespace
