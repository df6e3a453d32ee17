#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An offscreen OpenGL context for tests: Mesa's surfaceless EGL platform with
// a pbuffer surface of the given size (software rendering, no display
// server), current on the calling thread while the object lives. The
// context is a compatibility one, so legacy immediate-mode calls work.
class EglContext {
public:
    EglContext(int width, int height);
    ~EglContext();
    EglContext(const EglContext&) = delete;
    EglContext& operator=(const EglContext&) = delete;

    // False when no context could be made; failure() then says why.
    bool ok() const { return failure_.empty(); }
    const std::string& failure() const { return failure_; }

    // The RGBA bytes of one pixel of the colour buffer, (0, 0) at the bottom
    // left as in OpenGL.
    std::array<uint8_t, 4> pixel(int x, int y) const;
    // Every pixel, RGBA, bottom row first.
    std::vector<uint8_t> pixels() const;

private:
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_;
    int height_;
    std::string failure_;
};

// In a test body: skips the test when no context can be made here.
#define SKIP_WITHOUT_EGL(egl)                                                  \
    do {                                                                       \
        if (!(egl).ok()) GTEST_SKIP() << "no EGL context: " << (egl).failure(); \
    } while (0)
