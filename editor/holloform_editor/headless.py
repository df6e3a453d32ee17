"""The editor without a window: sculpts the demo and writes pictures, the grid and an OBJ file.

The pictures show the two display modes: the flat-coloured squares and the
lit, textured limit surface after the surface simulation has run for a while.
"""

import os

from .demo import DemoDriver, frame_the_sculpture, sculpt_arch
from .egl_context import HeadlessContext
from .files import GridFileError
from .obj_export import export_display_box
from .session import EditorSession

DEMO_LEVELS = 3
SETTLE_FRAMES = 40
SQUARES_PICTURE = "squares.png"
SURFACE_PICTURE = "surface.png"
GRID_FILE = "sculpt.hf"
OBJ_FILE = "sculpt.obj"


def _show(hf, squares: bool, surface: bool) -> None:
    hf.set_bool(hf.BoolDisplayGridAsSquares, squares)
    hf.set_bool(hf.BoolDisplayGridAsLimitMCA, surface)


def _write_picture(context: HeadlessContext, path: str) -> None:
    context.picture().save(path)
    print(f"Picture: {path}", flush=True)


def run_demo(hf, context: HeadlessContext, out: str, settle_frames: int) -> None:
    """Sculpts on a new clear grid, then writes the two pictures, the grid file
    and the OBJ export into `out`."""
    session = EditorSession(hf, os.path.join(out, GRID_FILE))
    hf.reshape(0, 0, context.width, context.height)
    hf.set_int(hf.IntGridLevels, DEMO_LEVELS)
    session.new_clear_grid()
    session.update_display_box()
    hf.set_bool(hf.BoolD_HierarchyContainingFocus, False)  # fewer lines in the pictures
    driver = DemoDriver(hf, session, context.width, context.height)
    sculpt_arch(driver)
    frame_the_sculpture(driver)

    _show(hf, squares=True, surface=False)
    driver.frames(1)
    _write_picture(context, os.path.join(out, SQUARES_PICTURE))
    _show(hf, squares=False, surface=True)
    driver.frames(settle_frames)
    _write_picture(context, os.path.join(out, SURFACE_PICTURE))
    print(f"Demo: {driver.frames_shown} frames", flush=True)

    if not session.save():
        raise GridFileError(f"the demo's grid could not be written to {session.save_path}")
    collector = export_display_box(hf, os.path.join(out, OBJ_FILE))
    print(f"OBJ: {os.path.join(out, OBJ_FILE)} ({len(collector.quads)} quads)", flush=True)


def run_headless(hf, options) -> int:
    """Runs the demo on an EGL context; the exit status."""
    if options.file or options.levels:
        print(f"Headless: the demo starts on a new clear grid of {DEMO_LEVELS} levels; "
              "FILE and --levels are for the window.", flush=True)
    os.makedirs(options.out, exist_ok=True)
    width, height = options.size
    context = HeadlessContext(width, height)
    print(f"Headless demo on {context.renderer()}, {width}x{height}", flush=True)
    try:
        run_demo(hf, context, options.out, options.frames or SETTLE_FRAMES)
    finally:
        context.close()
    return 0
