#include "EglContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

namespace {

// The surfaceless display, initialised once per process and kept: setting
// Mesa up again for every test would only cost time.
EGLDisplay surfaceless_display() {
    static EGLDisplay display = [] {
        const auto get_platform_display =
            reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
        if (get_platform_display == nullptr) return EGL_NO_DISPLAY;
        EGLDisplay made = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (made == EGL_NO_DISPLAY || !eglInitialize(made, nullptr, nullptr)) return EGL_NO_DISPLAY;
        return made;
    }();
    return display;
}

}  // namespace

EglContext::EglContext(int width, int height) : width_(width), height_(height) {
    display_ = surfaceless_display();
    if (display_ == EGL_NO_DISPLAY) {
        failure_ = "no surfaceless Mesa display (eglGetPlatformDisplayEXT)";
        return;
    }
    const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                        EGL_DEPTH_SIZE, 24, EGL_NONE};
    const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    // Each step runs only when the ones before it succeeded; the destructor
    // releases what was made.
    if (!eglBindAPI(EGL_OPENGL_API) || !eglChooseConfig(display_, config_attributes, &config, 1, &configs) ||
        configs == 0 ||
        (surface_ = eglCreatePbufferSurface(display_, config, surface_attributes)) == EGL_NO_SURFACE ||
        (context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr)) == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display_, surface_, surface_, context_)) {
        failure_ = "EGL set-up (RGBA8 with depth, pbuffer) failed with error " + std::to_string(eglGetError());
    }
}

EglContext::~EglContext() {
    if (display_ == EGL_NO_DISPLAY) return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
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
