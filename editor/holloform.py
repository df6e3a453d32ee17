#!/usr/bin/python3
"""Holloform, the voxel sculpting editor.

    holloform [FILE] [--levels N] [--size WxH] [--headless] [--frames N] [--out DIR]

Opens a window to sculpt in. Without a display (or with --headless) it sculpts
a short demo instead and writes pictures, the grid file and an OBJ export.
"""

import ctypes
import logging
import os
import sys

from holloform_editor.options import parse_options

REPOSITORY = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def display_available() -> bool:
    """Whether an X display can be opened (GLUT would end the process otherwise)."""
    if not os.environ.get("DISPLAY"):
        return False
    try:
        x11 = ctypes.CDLL("libX11.so.6")
    except OSError:
        return False
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        return False
    x11.XCloseDisplay(display)
    return True


def import_library():
    """The Holloform module, from PYTHONPATH or else from this checkout's build."""
    try:
        import Holloform
    except ImportError:
        sys.path.append(os.path.join(REPOSITORY, "build", "python"))
        try:
            import Holloform
        except ImportError:
            sys.exit("holloform: the Holloform module was not found. Build it with "
                     "'bash scripts/run.sh' (it lands in build/python) or put its folder on PYTHONPATH.")
    return Holloform


def run_window(hf, options) -> int:
    from holloform_editor.session import EditorSession
    from holloform_editor.window import EditorWindow

    session = EditorSession(hf, options.save_path)
    session.view_new_clear_grids = True
    window = EditorWindow(hf, session, options.size, options.frames)
    window.open()
    # Fewer lines: the display box, the ground grid and the drop line show where the brush acts.
    hf.set_bool(hf.BoolD_HierarchyContainingFocus, False)
    session.start(options.levels)
    window.run()
    saved = session.quit()
    print(f"Quit after {window.frames} frames", flush=True)
    return 0 if saved and not window.failed else 1


def run_headless(hf, options) -> int:
    from holloform_editor.egl_context import HeadlessContextError
    from holloform_editor.files import GridFileError
    from holloform_editor.headless import run_headless as run_demo

    try:
        return run_demo(hf, options)
    except (HeadlessContextError, GridFileError, OSError) as error:
        print(f"holloform: {error}", file=sys.stderr)
        return 1


def main(argv) -> int:
    options = parse_options(argv)
    headless = options.headless or not display_available()
    if headless:
        if not options.headless:
            print(f"No display: running the headless demo; its files go to {options.out}/", flush=True)
        # PyOpenGL picks its platform when OpenGL is first imported.
        os.environ["PYOPENGL_PLATFORM"] = "egl"
    # PyOpenGL warns that numpy is missing; plain byte strings serve here.
    logging.getLogger("OpenGL").setLevel(logging.ERROR)
    hf = import_library()
    return run_headless(hf, options) if headless else run_window(hf, options)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
