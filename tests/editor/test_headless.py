"""The editor without a display: the demo's pictures, grid file and OBJ export."""

import os
import pathlib
import subprocess
import sys

import pytest
from PIL import Image


# The squares display's colours, by face direction (-x, -y, -z, +x, +y, +z).
SQUARE_COLOURS = [(245, 250, 255), (250, 245, 245), (225, 225, 223), (230, 230, 230), (240, 240, 240),
                  (225, 225, 225)]
SIZE = (480, 360)
REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
GRID_TOOL = os.environ.get("HOLLOFORM_GRID_TOOL", str(REPOSITORY / "build" / "tools" / "holloform-grid"))
PROGRAM = str(REPOSITORY / "editor" / "holloform.py")


def square_coloured(pixel):
    """Whether a pixel is a square's colour, dimmed by fog towards black."""
    for colour in SQUARE_COLOURS:
        fog = max(pixel) / max(colour)
        if 0.15 <= fog <= 1.01 and all(abs(p - fog * c) <= 3.5 for p, c in zip(pixel, colour)):
            return True
    return False


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
    # Almost everything drawn as squares is a face colour (the rest are outline
    # lines); smooth lighting and the checkerboard give the surface many more
    # shades, most of them no face colour.
    assert sum(map(square_coloured, squares)) / len(squares) > 0.9
    assert len(set(surface)) > 2 * len(set(squares))
    assert sum(map(square_coloured, surface)) / len(surface) < 0.6
    # Dark and light texels of the checkerboard both show.
    lightness = sorted(sum(p) for p in surface)
    assert lightness[len(lightness) // 10] < 0.8 * lightness[-len(lightness) // 10]

    if os.access(GRID_TOOL, os.X_OK):
        info = subprocess.run([GRID_TOOL, "info", str(tmp_path / "sculpt.hf")], capture_output=True, text=True)
        assert info.returncode == 0, info.stderr
        assert 300 < int(dict(line.split(": ") for line in info.stdout.splitlines())["solid_voxels"]) < 10000

    vertices, faces = 0, []
    for line in (tmp_path / "sculpt.obj").read_text().splitlines():
        kind, *fields = line.split()
        vertices += kind == "v" and len(fields) == 3 and all(abs(float(f)) <= 8.0 for f in fields)
        faces += [[int(f) for f in fields]] if kind == "f" else []
    assert len(faces) > 100 and all(len(face) == 4 and len(set(face)) == 4 for face in faces)
    assert {n for face in faces for n in face} == set(range(1, vertices + 1))
