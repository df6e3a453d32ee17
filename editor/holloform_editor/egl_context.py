"""An OpenGL context without a window: EGL on Mesa's surfaceless platform, drawing
into a pbuffer that is read back as a picture.

PYOPENGL_PLATFORM must be "egl" before OpenGL is first imported; the entry
point sets it.
"""

import ctypes

from OpenGL import EGL
from OpenGL import GL
from PIL import Image

PLATFORM_SURFACELESS_MESA = 0x31DD


class HeadlessContextError(Exception):
    pass


def _display():
    """The surfaceless display when the driver offers it, else the default one."""
    try:
        display = EGL.eglGetPlatformDisplayEXT(PLATFORM_SURFACELESS_MESA, EGL.EGL_DEFAULT_DISPLAY, None)
        if display:
            return display
    except Exception:  # the extension function may be missing altogether
        pass
    return EGL.eglGetDisplay(EGL.EGL_DEFAULT_DISPLAY)


def _int_list(values):
    return (EGL.EGLint * len(values))(*values)


class HeadlessContext:
    """A current OpenGL context with a width x height colour and depth buffer."""

    def __init__(self, width: int, height: int):
        self.width, self.height = width, height
        self._display = _display()
        major, minor = EGL.EGLint(), EGL.EGLint()
        if not self._display or not EGL.eglInitialize(self._display, ctypes.pointer(major), ctypes.pointer(minor)):
            raise HeadlessContextError("EGL could not be initialised (is Mesa's libEGL installed?)")
        EGL.eglBindAPI(EGL.EGL_OPENGL_API)
        config = self._choose_config()
        self._surface = EGL.eglCreatePbufferSurface(
            self._display, config, _int_list([EGL.EGL_WIDTH, width, EGL.EGL_HEIGHT, height, EGL.EGL_NONE]))
        self._context = EGL.eglCreateContext(self._display, config, EGL.EGL_NO_CONTEXT, None)
        if not self._surface or not self._context:
            raise HeadlessContextError(f"EGL could not make a {width}x{height} OpenGL pbuffer")
        if not EGL.eglMakeCurrent(self._display, self._surface, self._surface, self._context):
            raise HeadlessContextError("EGL could not make the OpenGL context current")

    def _choose_config(self):
        attributes = _int_list([
            EGL.EGL_SURFACE_TYPE, EGL.EGL_PBUFFER_BIT,
            EGL.EGL_RENDERABLE_TYPE, EGL.EGL_OPENGL_BIT,
            EGL.EGL_RED_SIZE, 8, EGL.EGL_GREEN_SIZE, 8, EGL.EGL_BLUE_SIZE, 8,
            EGL.EGL_DEPTH_SIZE, 24,
            EGL.EGL_NONE,
        ])
        config = EGL.EGLConfig()
        count = EGL.EGLint()
        if not EGL.eglChooseConfig(self._display, attributes, ctypes.pointer(config), 1, ctypes.pointer(count)) \
                or count.value < 1:
            raise HeadlessContextError("EGL offers no OpenGL configuration with a pbuffer")
        return config

    def renderer(self) -> str:
        return GL.glGetString(GL.GL_RENDERER).decode("latin-1")

    def picture(self) -> Image.Image:
        """The colour buffer as an RGB picture, top row first."""
        GL.glFinish()
        GL.glPixelStorei(GL.GL_PACK_ALIGNMENT, 1)
        pixels = GL.glReadPixels(0, 0, self.width, self.height, GL.GL_RGB, GL.GL_UNSIGNED_BYTE)
        picture = Image.frombytes("RGB", (self.width, self.height), bytes(pixels))
        return picture.transpose(Image.Transpose.FLIP_TOP_BOTTOM)

    def close(self) -> None:
        EGL.eglMakeCurrent(self._display, EGL.EGL_NO_SURFACE, EGL.EGL_NO_SURFACE, EGL.EGL_NO_CONTEXT)
        EGL.eglDestroyContext(self._display, self._context)
        EGL.eglDestroySurface(self._display, self._surface)
        EGL.eglTerminate(self._display)
