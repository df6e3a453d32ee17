"""The editor window under a virtual X server, driven by synthetic mouse and key input."""

import os
import pathlib
import shutil
import subprocess
import sys
import time

import pytest
from PIL import Image

from holloform_editor import keys
from holloform_editor.menu import ROW_HEIGHT, MenuState, menu_structure, submenu_box, top_box

PROGRAM = str(pathlib.Path(__file__).resolve().parents[2] / "editor" / "holloform.py")
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


def test_a_newcomer_opens_draws_frames_saves_and_quits(tmp_path, x_display, hf):
    saved_grid = tmp_path / "grid.hf"  # a clear grid: nothing to frame when it is opened
    hf.set_string(hf.StringSavePath, str(saved_grid))
    hf.do_action(hf.ActionSave)
    environment = dict(os.environ, DISPLAY=x_display)
    log = tmp_path / "editor.log"

    def xdotool(*arguments):
        return subprocess.run(["xdotool", *arguments], env=environment, capture_output=True, text=True,
                              check=True, timeout=30).stdout

    def wait_for_line(text, what):
        wait_for(lambda: text in log.read_text(), 20, what)

    with open(log, "w") as output:
        editor = subprocess.Popen([sys.executable, PROGRAM, str(saved_grid), "--size", "800x600",
                                   "--frames", "5000"], env=environment, stdout=output, stderr=subprocess.STDOUT)
    try:
        window = xdotool("search", "--sync", "--name", "^Holloform").split()[0]
        wait_for_line(f"Loaded {saved_grid}", "the load")
        # The first steps of the help: F5, F10, then draw with the left button and v.
        xdotool("mousemove", "400", "300")
        xdotool("key", "F1", "F5", "F10")
        wait_for_line("Display box fixed here", "the function keys")
        wait_for(lambda: " 0 fps" not in xdotool("getwindowname", window), 20, "frames")
        xdotool("mousedown", "1", "keydown", "v", "mousemove", "520", "300")
        time.sleep(0.6)
        xdotool("mousemove", "400", "300", "keyup", "v", "mouseup", "1")
        wait_for(lambda: "grid.hf* - brush: cube 2x2x2" in xdotool("getwindowname", window), 20, "the unsaved mark")
        xdotool("key", "Home")
        wait_for_line("Framed the model", "the framing")
        time.sleep(0.3)
        assert model_pixels(x_display, tmp_path / "framed.png") > 5000
        xdotool("key", "F2")
        wait_for_line("Saved ", "the save")
        # The 3x3x3 cube, chosen in the menu, holds itself up: added at the focus (the model's centre).
        structure = menu_structure(MenuState(0, {}, False))
        brush_menu = [title for title, _ in structure].index(keys.BRUSH_MENU)
        cube = [entry.label.strip() for entry in structure[brush_menu][1]].index("cube 3x3x3")
        top = top_box(structure, (400, 300), (800, 600))
        sub = submenu_box(structure, brush_menu, (400, 300), (800, 600))
        xdotool("mousemove", "400", "300", "click", "2")
        xdotool("mousemove", str(top[0] + 10), str(top[1] + brush_menu * ROW_HEIGHT + 9))
        time.sleep(0.2)
        xdotool("mousemove", str(sub[0] + 10), str(sub[1] + cube * ROW_HEIGHT + 9), "click", "1")
        wait_for_line("Brush: cube 3x3x3", "the menu")
        xdotool("mousedown", "1")
        time.sleep(0.3)
        xdotool("mouseup", "1", "key", "Escape")
        assert editor.wait(timeout=60) == 0
    finally:
        if editor.poll() is None:
            editor.kill()
        editor.wait()
    # Quitting ran (what it writes: the session's tests).
    text = log.read_text()
    assert f"Unsaved edits written to {saved_grid}.autosave" in text
    assert int(text.rsplit("Quit after ", 1)[1].split()[0]) >= 10
