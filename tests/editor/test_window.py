"""The editor window under a virtual X server, driven by synthetic mouse and key input."""

import os
import shutil
import subprocess
import sys
import time

import pytest
from PIL import Image

from editor_paths import EDITOR, editor_environment, grid_tool

pytestmark = pytest.mark.skipif(not (shutil.which("Xvfb") and shutil.which("xdotool")),
                                reason="needs Xvfb and xdotool")


def free_display_number():
    for number in range(90, 400):
        if not (os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock")):
            return number
    pytest.skip("no free X display number")


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            pytest.fail(f"timed out waiting for {what}")
        time.sleep(0.1)


@pytest.fixture
def x_display():
    number = free_display_number()
    server = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"), 20, "Xvfb")
        yield f":{number}"
    finally:
        server.terminate()
        server.wait(timeout=20)


def solid_voxels(path):
    info = subprocess.run([grid_tool(), "info", str(path)], capture_output=True, text=True, check=True)
    return int(dict(line.split(": ") for line in info.stdout.splitlines())["solid_voxels"])


def test_sculpt_save_and_quit_with_an_autosave(tmp_path, x_display, module_path):
    grid = tmp_path / "window.hf"
    log = tmp_path / "editor.log"
    environment = editor_environment(DISPLAY=x_display)
    with open(log, "w") as output:
        editor = subprocess.Popen(
            [sys.executable, str(EDITOR / "holloform.py"), str(grid), "--levels", "3", "--size", "800x600",
             "--frames", "5000"],
            env=environment, stdout=output, stderr=subprocess.STDOUT)
    try:
        def xdotool(*arguments):
            return subprocess.run(["xdotool", *arguments], env=environment, capture_output=True, text=True,
                                  check=True, timeout=30).stdout

        def printed():
            return log.read_text()

        window = xdotool("search", "--sync", "--name", "^Holloform").split()[0]
        xdotool("mousemove", "400", "300")
        xdotool("key", "F1", "F5", "F10")  # hide the help, clear grid, fix the display box
        wait_for(lambda: "Display box fixed here" in printed(), 20, "the function keys")
        # A stroke: the left button held while the move tool slides the focus.
        xdotool("mousedown", "1", "keydown", "v", "mousemove", "520", "300")
        time.sleep(0.6)
        xdotool("mousemove", "400", "300", "keyup", "v", "mouseup", "1")
        assert "brush: cube 2x2x2" in xdotool("getwindowname", window)
        xdotool("key", "F2")
        wait_for(lambda: "Saved " in printed(), 20, "the save")
        saved = grid.read_bytes()

        screenshot = tmp_path / "window.png"
        subprocess.run(["import", "-display", x_display, "-window", "root", str(screenshot)], check=True,
                       timeout=30)
        picture = Image.open(screenshot).convert("RGB")
        drawn = sum(1 for pixel in picture.getdata() if max(pixel) > 150)
        assert drawn > 2000  # the shape and the outlines, not a blank window

        # A second stroke, forward this time, left unsaved.
        xdotool("mousedown", "1", "keydown", "v", "mousemove", "400", "380")
        time.sleep(0.4)
        xdotool("mousemove", "400", "300", "keyup", "v", "mouseup", "1", "key", "F8")
        wait_for(lambda: "Brush: voxel" in printed(), 20, "the brush change")
        time.sleep(1.0)
        xdotool("key", "Escape")
        assert editor.wait(timeout=60) == 0
    finally:
        if editor.poll() is None:
            editor.kill()
            editor.wait()

    text = printed()
    assert f"Unsaved edits written to {grid}.autosave" in text
    frames = int(text.rsplit("Quit after ", 1)[1].split()[0])
    assert frames >= 100
    assert grid.read_bytes() == saved  # quitting never writes over the file
    if grid_tool():
        assert solid_voxels(grid) > 0
        assert solid_voxels(f"{grid}.autosave") >= solid_voxels(grid)
