"""The editor without a display: the demo's pictures, grid file and OBJ export."""

import os
import pathlib
import subprocess
import sys

import pytest
from PIL import Image


SIZE = (480, 360)
REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
GRID_TOOL = os.environ.get("HOLLOFORM_GRID_TOOL", str(REPOSITORY / "build" / "tools" / "holloform-grid"))
PROGRAM = str(REPOSITORY / "editor" / "holloform.py")


def pixels(path):
    picture = Image.open(path).convert("RGB")
    assert picture.size == SIZE
    return [p for p in picture.getdata() if max(p) > 60]  # not the background


def test_the_demo_writes_pictures_a_grid_file_and_an_obj_file(tmp_path):
    # No DISPLAY: the editor falls back to the headless demo by itself.
    environment = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    result = subprocess.run(
        [sys.executable, PROGRAM, "--size", "x".join(map(str, SIZE)), "--out", str(tmp_path)],
        env=environment, capture_output=True, text=True, timeout=300)
    assert result.returncode == 0, result.stderr
    assert "No display: running the headless demo" in result.stdout
    for name in ("squares.png", "surface.png", "sculpt.hf", "sculpt.obj"):
        assert (tmp_path / name).stat().st_size > 0 and str(tmp_path / name) in result.stdout

    squares, surface = pixels(tmp_path / "squares.png"), pixels(tmp_path / "surface.png")
    assert len(squares) / (SIZE[0] * SIZE[1]) > 0.05 and len(surface) / (SIZE[0] * SIZE[1]) > 0.03
    # Squares are flat-coloured (their colours are the render tests'); smooth
    # lighting and the checkerboard give the surface many more shades.
    assert len(set(surface)) > 2 * len(set(squares))
    # Dark and light texels of the checkerboard both show.
    lightness = sorted(sum(p) for p in surface)
    assert lightness[len(lightness) // 10] < 0.8 * lightness[-len(lightness) // 10]

    if os.access(GRID_TOOL, os.X_OK):
        info = subprocess.run([GRID_TOOL, "info", str(tmp_path / "sculpt.hf")], capture_output=True, text=True)
        assert info.returncode == 0, info.stderr
        assert 300 < int(dict(line.split(": ") for line in info.stdout.splitlines())["solid_voxels"]) < 10000

    # The display box's squares, scaled into +-8 (how corners become lines: the OBJ writer's tests).
    lines = [line.split() for line in (tmp_path / "sculpt.obj").read_text().splitlines()]
    assert all(abs(float(f)) <= 8.0 for kind, *fields in lines if kind == "v" for f in fields)
    assert sum(kind == "f" and len(fields) == 4 for kind, *fields in lines) > 100
