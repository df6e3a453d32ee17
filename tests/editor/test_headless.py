"""The editor without a display: the demo's pictures, grid file and OBJ export."""

import subprocess
import sys

import pytest
from PIL import Image

from editor_paths import EDITOR, editor_environment, grid_tool

# The squares display's colours, by face direction (-x, -y, -z, +x, +y, +z).
SQUARE_COLOURS = [(245, 250, 255), (250, 245, 245), (225, 225, 223), (230, 230, 230), (240, 240, 240),
                  (225, 225, 225)]
SIZE = (480, 360)


def square_coloured(pixel):
    """Whether a pixel is a square's colour, dimmed by fog towards black."""
    for colour in SQUARE_COLOURS:
        fog = max(pixel) / max(colour)
        if 0.15 <= fog <= 1.01 and all(abs(p - fog * c) <= 3.5 for p, c in zip(pixel, colour)):
            return True
    return False


@pytest.fixture(scope="module")
def demo(tmp_path_factory, module_path):
    out = tmp_path_factory.mktemp("demo")
    # No DISPLAY: the editor falls back to the headless demo by itself.
    environment = editor_environment()
    environment.pop("DISPLAY", None)
    result = subprocess.run(
        [sys.executable, str(EDITOR / "holloform.py"), "--size", "x".join(map(str, SIZE)), "--out", str(out)],
        env=environment, capture_output=True, text=True, timeout=300)
    assert result.returncode == 0, result.stderr
    return out, result.stdout


def pixels(path):
    picture = Image.open(path).convert("RGB")
    assert picture.size == SIZE
    return list(picture.getdata())


def test_every_file_is_written_and_named(demo):
    out, printed = demo
    assert "No display: running the headless demo" in printed
    for name in ("squares.png", "surface.png", "sculpt.hf", "sculpt.obj"):
        assert (out / name).stat().st_size > 0
        assert str(out / name) in printed


def test_pictures_show_flat_squares_and_a_lit_textured_surface(demo):
    out, _ = demo
    squares = [p for p in pixels(out / "squares.png") if max(p) > 60]
    surface = [p for p in pixels(out / "surface.png") if max(p) > 60]
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


def test_grid_file_reads_back(demo):
    out, _ = demo
    tool = grid_tool()
    if not tool:
        pytest.skip("the holloform-grid tool is not built")
    checked = subprocess.run([tool, "info", str(out / "sculpt.hf")], capture_output=True, text=True)
    assert checked.returncode == 0, checked.stderr
    solid = int(dict(line.split(": ") for line in checked.stdout.splitlines())["solid_voxels"])
    assert 300 < solid < 10000


def test_obj_file_parses_into_quads(demo):
    out, _ = demo
    vertices, faces = 0, []
    for line in (out / "sculpt.obj").read_text().splitlines():
        kind, *fields = line.split()
        if kind == "v":
            assert len(fields) == 3 and all(abs(float(f)) <= 8.0 for f in fields)
            vertices += 1
        elif kind == "f":
            faces.append([int(f) for f in fields])
    assert len(faces) > 100
    assert all(len(face) == 4 and len(set(face)) == 4 for face in faces)
    used = {n for face in faces for n in face}
    assert used == set(range(1, vertices + 1))
