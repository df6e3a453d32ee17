"""The editor window under a virtual X server, driven by synthetic mouse and key input."""

import os
import shutil
import subprocess
import sys
import time

import pytest
from PIL import Image

from editor_paths import EDITOR, editor_environment
from holloform_editor import keys
from holloform_editor.menu import ROW_HEIGHT, MenuState, menu_structure, submenu_box, top_box

pytestmark = pytest.mark.skipif(not (shutil.which("Xvfb") and shutil.which("xdotool")),
                                reason="needs Xvfb and xdotool")


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            pytest.fail(f"timed out waiting for {what}")
        time.sleep(0.1)


@pytest.fixture
def x_display():
    """A virtual X server on a free display number, which it prints once it takes connections."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
                               "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        with os.fdopen(read_end) as numbers:
            yield ":" + numbers.readline().strip()
    finally:
        server.terminate()
        server.wait(timeout=20)


def model_pixels(x_display, path):
    """The pixels of the squares display (light grey faces) in a screenshot,
    above the status line."""
    subprocess.run(["import", "-display", x_display, "-window", "root", str(path)], check=True, timeout=30)
    picture = Image.open(path).convert("RGB")
    width, height = picture.size
    face = picture.crop((0, 40, width, height - 40)).getdata()
    return sum(1 for r, g, b in face if min(r, g, b) > 150 and max(r, g, b) - min(r, g, b) < 30)


class Editor:
    """The editor as a program on the virtual display, with its printed lines."""

    def __init__(self, tmp_path, x_display, grid, log_name, *arguments):
        self.environment = editor_environment(DISPLAY=x_display)
        self.log = tmp_path / log_name
        with open(self.log, "w") as output:
            self.process = subprocess.Popen(
                [sys.executable, str(EDITOR / "holloform.py"), str(grid), "--size", "800x600", "--frames", "5000",
                 *arguments], env=self.environment, stdout=output, stderr=subprocess.STDOUT)
        self.window = self.xdotool("search", "--sync", "--name", "^Holloform").split()[0]

    def xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.environment, capture_output=True, text=True,
                              check=True, timeout=30).stdout

    def printed(self):
        return self.log.read_text()

    def wait_for_line(self, text, what):
        wait_for(lambda: text in self.printed(), 20, what)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()


def test_a_newcomer_draws_saves_quits_and_finds_the_model_again(tmp_path, x_display, module_path):
    grid = tmp_path / "window.hf"
    editor = Editor(tmp_path, x_display, grid, "first.log", "--levels", "3")
    try:
        # The first steps of the help: F5, F10, then draw with the left button and v.
        editor.xdotool("mousemove", "400", "300")
        editor.xdotool("key", "F1", "F5", "F10")
        editor.wait_for_line("Display box fixed here", "the function keys")
        wait_for(lambda: " 0 fps" not in editor.xdotool("getwindowname", editor.window), 20, "frames")
        editor.xdotool("mousedown", "1", "keydown", "v", "mousemove", "520", "300")
        time.sleep(0.6)
        editor.xdotool("mousemove", "400", "300", "keyup", "v", "mouseup", "1")
        wait_for(lambda: "window.hf* - brush: cube 2x2x2" in editor.xdotool("getwindowname", editor.window), 20,
                 "the unsaved mark")
        editor.xdotool("key", "Home")
        editor.wait_for_line("Framed the model", "the framing")
        time.sleep(0.3)
        assert model_pixels(x_display, tmp_path / "framed.png") > 5000
        editor.xdotool("key", "F2")
        editor.wait_for_line("Saved ", "the save")
        saved = grid.read_bytes()
        # A click of the single voxel at the focus, the model's centre, changes nothing: still clean.
        editor.xdotool("key", "F8")
        editor.xdotool("mousedown", "1")
        time.sleep(0.3)
        editor.xdotool("mouseup", "1", "key", "Escape")
        assert editor.process.wait(timeout=60) == 0
    finally:
        editor.stop()
    assert "Unsaved edits written" not in editor.printed()
    assert grid.read_bytes() == saved and (tmp_path / "window.hf.view").exists()

    editor = Editor(tmp_path, x_display, grid, "second.log")
    try:
        editor.wait_for_line(f"Loaded {grid}", "the load")
        editor.xdotool("key", "F1")
        time.sleep(0.5)
        assert model_pixels(x_display, tmp_path / "reopened.png") > 5000
        # The 3x3x3 cube, chosen in the menu, holds itself up: added at the focus (the model's centre).
        structure = menu_structure(MenuState(0, {}, False))
        brush_menu = [title for title, _ in structure].index(keys.BRUSH_MENU)
        entries = structure[brush_menu][1]
        cube = [entry.label.strip() for entry in entries].index("cube 3x3x3")
        top = top_box(structure, (400, 300), (800, 600))
        sub = submenu_box(structure, brush_menu, (400, 300), (800, 600))
        editor.xdotool("mousemove", "400", "300", "click", "2")
        editor.xdotool("mousemove", str(top[0] + 10), str(top[1] + brush_menu * ROW_HEIGHT + 9))
        time.sleep(0.2)
        editor.xdotool("mousemove", str(sub[0] + 10), str(sub[1] + cube * ROW_HEIGHT + 9), "click", "1")
        editor.wait_for_line("Brush: cube 3x3x3", "the menu")
        editor.xdotool("mousedown", "1")
        time.sleep(0.3)
        editor.xdotool("mouseup", "1", "key", "Escape")
        assert editor.process.wait(timeout=60) == 0
    finally:
        editor.stop()
    text = editor.printed()
    assert f"Unsaved edits written to {grid}.autosave" in text
    assert int(text.rsplit("Quit after ", 1)[1].split()[0]) >= 10
    assert grid.read_bytes() == saved  # quitting never writes over the file
