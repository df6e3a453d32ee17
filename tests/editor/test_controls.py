"""Command line, host keys, brush tracking and the demo's pointer placement."""

import random

import pytest

from fake_library import FakeLibrary
from holloform_editor import keys
from holloform_editor.brushes import BRUSH_NAMES, BrushCycle
from holloform_editor.demo import pointer_position
from holloform_editor.options import parse_options
from holloform_editor.session import LARGEST_BOX, SMALLEST_BOX, EditorSession


def offset_amount(position, extent):
    """The library's pointer-offset movement mode for one axis."""
    p = min(max(float(position), 0.0), float(extent))
    a = extent + 1.0
    centre = a * 0.5
    dz = (a - centre) * 0.10000000149011612
    hi, lo = centre + dz, centre - dz
    if p > hi:
        return (p - hi) / (a - hi)
    if p >= lo:
        return 0.0
    return -(lo - p) / (a - hi)


def test_pointer_position_yields_the_wanted_amount():
    rng = random.Random(11)
    for _ in range(2000):
        extent = rng.randint(50, 4000)
        amount = rng.choice([0.0, rng.uniform(-1, 1)])
        got = offset_amount(pointer_position(amount, extent), extent)
        # One pixel of rounding, and amounts inside the dead zone's edge.
        assert abs(got - amount) <= 1.0 / (extent * 0.45) + 1e-9


def test_command_line():
    options = parse_options([])
    assert options.save_path == "sculpt.hf" and options.size == (1024, 768) and not options.headless
    options = parse_options(["my.hf", "--levels", "8", "--size", "640x480", "--headless", "--frames", "5",
                             "--out", "pictures"])
    assert (options.save_path, options.levels, options.size, options.frames, options.out) == \
        ("my.hf", 8, (640, 480), 5, "pictures")
    for bad in (["--levels", "1"], ["--levels", "9"], ["--levels", "x"], ["--size", "640"],
                ["--size", "0x480"], ["--frames", "0"]):
        with pytest.raises(SystemExit) as exit_info:
            parse_options(bad)
        assert exit_info.value.code == 2


def session_on(hf):
    return EditorSession(hf, "unused.hf", report=lambda text: None, warn=lambda text: None)


def test_host_keys_toggle_resize_and_leave_library_keys_alone():
    hf = FakeLibrary()
    session = session_on(hf)
    for digit, setting, _ in keys.DISPLAY_TOGGLES:
        before = hf.query_bool(getattr(hf, setting))
        assert session.host_key(digit)
        assert hf.query_bool(getattr(hf, setting)) == (not before)
    assert len({setting for _, setting, _ in keys.DISPLAY_TOGGLES}) == 10
    assert session.host_key("+")
    assert session.box_size_setting() == [48, 48, 48]
    assert hf.actions[-1] == hf.ActionUpdateDisplayBox
    for key, bound in (("-", SMALLEST_BOX), ("=", LARGEST_BOX)):
        for _ in range(100):
            session.host_key(key)
        assert session.box_size_setting() == [bound] * 3
    for character in "acdfsvxzbw ":
        assert not keys.is_host_key(character) and not session.host_key(character)
    assert all(keys.is_host_key(c) for c in "0123456789+-=_\x1b")
    assert keys.library_key_code("F") == ord("f") and keys.library_key_code("\x13") == 0x13


def test_function_keys_brushes_and_help():
    session = session_on(FakeLibrary())
    for number in range(2, 12):
        assert callable(getattr(session, keys.action_for_function_key(number)))
    assert keys.action_for_function_key(1) is None and keys.action_for_function_key(12) is None
    brushes = BrushCycle()
    for _ in range(10):
        brushes.advance()
    assert brushes.name == "cube 3x3x3"
    for _ in range(6):
        brushes.advance()
    assert brushes.name == BRUSH_NAMES[0]
    text = "\n".join(line for column in keys.help_columns() for line in column)
    assert all(f"\n{letter} " in text or f"+ {letter}" in text for letter in "acdfsvxzbw")
    assert all(f"F{number} " in text for number in range(1, 12))
    for digit, _, label in keys.DISPLAY_TOGGLES:
        assert f"{digit}      toggle {label}" in text
    assert "space" in text and "Esc" in text and "+ / -" in text
