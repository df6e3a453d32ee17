#include "EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

// The surfaceless display, initialised once per process and kept: setting
// Mesa up again for every test would only cost time.
EGLDisplay surfaceless_display(std::string& failure) {
    static EGLDisplay display = [] {
        const auto get_platform_display =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (get_platform_display == nullptr) return EGL_NO_DISPLAY;
        EGLDisplay made = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (made == EGL_NO_DISPLAY || !eglInitialize(made, nullptr, nullptr)) return EGL_NO_DISPLAY;
        return made;
    }();
    if (display == EGL_NO_DISPLAY) failure = "no surfaceless Mesa display (eglGetPlatformDisplayEXT)";
    return display;
}

std::string hex_error() {
    char text[16];
    snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(eglGetError()));
    return text;
}

}  // namespace

EglContext::EglContext(int width, int height) : width_(width), height_(height) {
    open();
}

void EglContext::open() {
    const int width = width_, height = height_;
    EGLDisplay display = surfaceless_display(failure_);
    if (display == EGL_NO_DISPLAY) return;
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) return fail("eglBindAPI(EGL_OPENGL_API)");

    const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                        EGL_DEPTH_SIZE, 24, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, config_attributes, &config, 1, &configs) || configs == 0) {
        return fail("eglChooseConfig (RGBA8 with depth, pbuffer)");
    }
    const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display, config, surface_attributes);
    if (surface_ == EGL_NO_SURFACE) return fail("eglCreatePbufferSurface");
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) return fail("eglCreateContext");
    if (!eglMakeCurrent(display, surface_, surface_, context)) {
        eglDestroyContext(display, context);
        return fail("eglMakeCurrent");
    }
    context_ = context;
    glViewport(0, 0, width, height);
}

EglContext::~EglContext() {
    if (display_ == nullptr) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) eglDestroyContext(display_, context_);
    if (surface_ != nullptr) eglDestroySurface(display_, surface_);
}

void EglContext::fail(const std::string& why) {
    failure_ = why + " failed (EGL error " + hex_error() + ")";
}

std::array<uint8_t, 4> EglContext::pixel(int x, int y) const {
    std::array<uint8_t, 4> rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<uint8_t> EglContext::pixels() const {
    std::vector<uint8_t> rgba(static_cast<size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}
