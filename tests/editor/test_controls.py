"""Command line, the key table and what is made from it (help, menu, README),
the status line, brushes, the unsaved mark, framing and the kept camera."""

import json
import math
import pathlib
import random

import pytest

from holloform_editor import camera, guides, keys
from holloform_editor.brushes import BRUSH_NAMES
from holloform_editor.demo import pointer_position
from holloform_editor.menu import ROW_HEIGHT, Menu, MenuState, menu_structure, submenu_box, top_box
from holloform_editor.options import parse_options
from holloform_editor.session import LARGEST_BOX, SMALLEST_BOX, EditorSession
from holloform_editor.status import StatusFields, status_line, stroke_message

WINDOW_COMMANDS = {"toggle_help", "quit", "screenshot"}


def test_pointer_position_yields_the_wanted_amount():
    rng = random.Random(11)
    for _ in range(2000):
        extent = rng.randint(50, 4000)
        amount = rng.choice([0.0, rng.uniform(-1, 1)])
        # The library's pointer-offset movement mode for one axis: no movement
        # within a tenth of the half-side of the centre, linear beyond.
        p, a = min(max(float(pointer_position(amount, extent)), 0.0), float(extent)), extent + 1.0
        hi, lo = a * 0.5 + a * 0.5 * 0.10000000149011612, a * 0.5 - a * 0.5 * 0.10000000149011612
        got = (p - hi) / (a - hi) if p > hi else 0.0 if p >= lo else -(lo - p) / (a - hi)
        # One pixel of rounding, and amounts inside the dead zone's edge.
        assert abs(got - amount) <= 1.0 / (extent * 0.45) + 1e-9


@pytest.mark.parametrize("arguments, wanted", [
    ([], ("sculpt.hf", None, (1024, 768), False, None, "holloform-out")),
    (["my.hf", "--levels", "8", "--size", "640x480", "--headless", "--frames", "5", "--out", "pictures"],
     ("my.hf", 8, (640, 480), True, 5, "pictures")),
] + [(bad, SystemExit) for bad in (["--levels", "1"], ["--levels", "9"], ["--levels", "x"], ["--size", "640"],
                                  ["--size", "0x480"], ["--frames", "0"])])
def test_command_line(arguments, wanted):
    if wanted is SystemExit:
        with pytest.raises(SystemExit, match="^2$"):
            parse_options(arguments)
    else:
        o = parse_options(arguments)
        assert (o.save_path, o.levels, o.size, o.headless, o.frames, o.out) == wanted


def session_on(hf, path="unused.hf"):
    return EditorSession(hf, str(path), report=lambda text: None, warn=lambda text: None)


def test_one_key_table_makes_the_help_the_menu_and_the_readme():
    editor_rows = keys.rows(keys.EDITOR)
    events = [event for row in editor_rows for event in row.events]
    assert len(events) == len(set(events))
    for row in editor_rows:
        assert row.command in WINDOW_COMMANDS or callable(getattr(EditorSession, row.command))
    help_text = "\n".join(line for column in keys.help_columns() for line in column)
    assert all(row.shown in help_text and row.text in help_text for row in keys.KEY_TABLE)

    state = MenuState(brush_index=2, toggles={"BoolFoggingOn": True}, box_fixed=True)
    structure = menu_structure(state)
    listed = {(entry.command, entry.argument) for _, entries in structure for entry in entries}
    assert all((row.command, row.argument) in listed for row in editor_rows if row.menu)
    brushes = dict(structure)[keys.BRUSH_MENU]
    assert [entry.label for entry in brushes if entry.command == "choose_brush"] == \
        [("> " if index == 2 else "  ") + name for index, name in enumerate(BRUSH_NAMES)]
    display = [entry.label for entry in dict(structure)[keys.DISPLAY_MENU]]
    assert {"[x] fog  (4)", "[ ] squares  (1)", "[x] display box fixed  (F10)"} <= set(display)

    readme = (pathlib.Path(__file__).resolve().parents[2] / "README.md").read_text()
    assert keys.readme_tables() in readme


def test_every_menu_entry_is_reachable_wherever_the_menu_opens():
    structure = menu_structure(MenuState(brush_index=0, toggles={}, box_fixed=False))
    rng = random.Random(3)
    menu = Menu()
    for _ in range(300):
        window = (rng.randint(640, 1600), rng.randint(480, 1200))
        anchor = (rng.randrange(window[0]), rng.randrange(window[1]))
        top = top_box(structure, anchor, window)
        for index, (_, entries) in enumerate(structure):
            box = submenu_box(structure, index, anchor, window)
            assert 0 <= box[0] and box[2] <= window[0] and 0 <= box[1] and box[3] <= window[1]
            assert box[2] <= top[0] or box[0] >= top[2]  # beside the top level, never over it
            row = rng.randrange(len(entries))
            menu.open(structure, anchor, window)
            menu.point(((top[0] + top[2]) // 2, top[1] + index * ROW_HEIGHT + 2))
            assert menu.click(((box[0] + box[2]) // 2, box[1] + row * ROW_HEIGHT + 9)) == entries[row]
            assert not menu.is_open


def test_event_names_host_keys_mirror_and_brushes(hf):
    assert keys.event_name("\x1a", ctrl=True) == "Ctrl+z"
    assert keys.event_name("\x1a", ctrl=True, shift=True) == "Ctrl+Shift+z"
    assert keys.event_name(8, shift=True) == "Shift+F8" and keys.event_name(106) == "Home"
    assert keys.event_name("A", shift=True) == "A" and keys.event_name("+", shift=True) == "+"
    session = session_on(hf)
    assert "mirror" not in session.title(60.0)
    assert session.host_key("Ctrl+k") and session.host_key("Ctrl+u")
    assert " - mirror xz - " in session.title(60.0) and session.message == "Mirror across z: on"
    assert session.host_key("Ctrl+g") and hf.mirror_centre() == (32.5, 16.5, 32.5)
    assert session.message == "Mirror centre: voxel 32 16 32"
    quads = guides.mirror_plane_quads((10, 0, 10, 49, 39, 49), (32.5, 16.5, 32.5), (True, False, True))
    assert quads == [[(32.5, 0, 10), (32.5, 40, 10), (32.5, 40, 50), (32.5, 0, 50)],
                     [(10, 0, 32.5), (50, 0, 32.5), (50, 40, 32.5), (10, 40, 32.5)]]
    for row in [row for row in keys.KEY_TABLE if row.command == "toggle_setting"]:
        before = hf.query_bool(getattr(hf, row.argument))
        assert session.host_key(row.events[0])
        assert hf.query_bool(getattr(hf, row.argument)) == (not before)
    assert session.host_key("+")
    assert session.box_size_setting() == [48, 48, 48]
    assert hf.actions[-1] == hf.ActionUpdateDisplayBox
    for key, bound in (("-", SMALLEST_BOX), ("=", LARGEST_BOX)):
        for _ in range(100):
            session.host_key(key)
        assert session.box_size_setting() == [bound] * 3
    for character in "acdfsvxzbw ":
        assert not keys.is_host_key(character) and not session.host_key(character)
    assert keys.library_key_code("F") == ord("f") and keys.library_key_code("\x13") == 0x13
    session.change_focus_depth(-50)  # the wheel: never nearer than 8
    assert hf.focus_depth() == (8.0, 0.0)
    session.change_focus_depth(2)
    assert hf.focus_depth() == (10.0, 0.0)

    # Brushes step both ways and are chosen directly, the library's cycle in step.
    session.previous_brush()
    assert session.brushes.name == BRUSH_NAMES[-1] and hf.actions.count(hf.ActionChangeGridAffector) == 7
    session.next_brush()
    session.choose_brush("2")
    assert session.brushes.name == "cube 3x3x3" and hf.actions.count(hf.ActionChangeGridAffector) == 10


def test_status_line_and_what_a_stroke_did():
    fields = StatusFields(brush="voxel", box=(10, 0, 10, 49, 39, 49), box_fixed=True, focus=(20, 5, 60),
                          focus_distance=9.4, unsaved=True, message="Saved a.hf")
    line = status_line(fields)
    assert line == "brush voxel | box 40x40x40 fixed | focus 20 5 60 depth 9 OUTSIDE THE BOX | unsaved* | Saved a.hf"
    assert status_line(fields, 80) == "voxel | box 40x40x40 fixed | focus 20 5 60 d9 OUTSIDE | unsaved* | Saved a.hf"
    fields.focus, fields.unsaved, fields.message, fields.box_fixed = (20, 5, 30), False, "", False
    assert status_line(fields) == "brush voxel | box 40x40x40 following | focus 20 5 30 depth 9"

    middle = (40, 40, 40)
    for args, said in [((False, True, 0, (1, 40, 40)), "safe range 2..509"), ((False, True, 1, middle), "fall away"),
                       ((False, True, 0, middle), "already solid"), ((False, False, 0, middle), "already clear"),
                       ((True, True, 0, (70, 40, 40)), "outside the box"), ((True, True, 0, middle), "")]:
        message = stroke_message(*args, 512, (0, 0, 0, 63, 63, 63))
        assert said in message and (said or not message)


def test_the_unsaved_mark_follows_real_changes_only(hf, tmp_path):
    session = session_on(hf, tmp_path / "grid.hf")
    session.new_clear_grid()
    session.note_button(0, pressed=True)
    session.note_button(0, pressed=False)
    assert not session.dirty and session.message.startswith("nothing changed")
    assert session.quit() and not (tmp_path / "grid.hf.autosave").exists()
    session.note_button(2, pressed=True)
    hf.edit()
    session.note_button(2, pressed=False)
    assert session.dirty and session.message == ""
    assert session.save() and not session.dirty

    # The mark follows undo: back to the saved grid it goes; a redo brings it back.
    saved, undo_steps = hf.change_count(), hf.undo_step_count()
    hf.edit()
    assert session.host_key("Ctrl+z") and not session.dirty and hf.change_count() == saved
    assert session.host_key("Ctrl+Shift+z") and session.dirty and hf.change_count() != saved
    assert session.host_key("Ctrl+y") and session.message == "Nothing to redo"
    for _ in range(3):
        session.undo()
    assert session.message == f"Undone: {undo_steps - 2} to undo, 3 to redo"
    hf.edit()  # (a new edit drops the redo steps: the edit history's tests)
    while hf.undo_step_count():
        session.undo()
    session.undo()
    assert session.message == "Nothing to undo"


def projected(matrix, point, aspect):
    """Normalised device x and y of a world point, and whether it lies ahead."""
    eye = [sum((list(point) + [1.0])[k] * matrix[4 * k + c] for k in range(4)) for c in range(3)]
    depth = -eye[2]
    scale = 1.0 / (camera.tan_half_view() * depth)
    return eye[0] * scale / aspect, eye[1] * scale, depth > 2.0


def test_framing_shows_the_whole_model_and_the_camera_is_kept_beside_the_file(hf, saved_grid):
    rng = random.Random(5)
    for _ in range(200):
        low = [rng.randint(0, 400) for _ in range(3)]
        bounds = low + [v + rng.randint(0, 100) for v in low]
        aspect = rng.choice([0.5, 4.0 / 3.0, 2.0])
        matrix, distance = camera.framing(bounds, aspect)
        assert camera.is_rigid(matrix)
        centre = [(bounds[a] + bounds[a + 3] + 1) / 2.0 for a in range(3)]
        assert all(math.isclose(p, c, abs_tol=1e-6) for p, c in zip(camera.point_ahead(matrix, distance), centre))
        for corner in ((x, y, z) for x in (bounds[0], bounds[3] + 1) for y in (bounds[1], bounds[4] + 1)
                       for z in (bounds[2], bounds[5] + 1)):
            x, y, ahead = projected(matrix, corner, aspect)
            assert ahead and abs(x) <= 1.0 and abs(y) <= 1.0

    view = saved_grid.with_name("grid.hf.view")
    for nonsense in (False, True):  # no camera file, then one that makes no sense: the model is framed
        if nonsense:
            view.write_text('{"matrix": [1, 2, 3]}')
        hf.set_camera_matrix(camera.translation(-32, -16, -41))
        session = session_on(hf, saved_grid)
        session.start()
        bounds = hf.solid_bounds()
        assert all(bounds[a] <= v <= bounds[a + 3] for a, v in enumerate(hf.focus_voxel()))
        assert session.box_size_setting() == [10, 10, 10] and hf.query_bool(hf.BoolDisplayBoxStickOn)
    hf.set_camera_matrix(camera.look_at((0.0, 50.0, 0.0), (50.0, 10.0, 45.0)))
    kept = hf.camera_matrix()
    assert session.quit()
    assert json.loads(view.read_text())["matrix"] == list(kept)
    hf.set_camera_matrix(camera.translation(-32, -16, -41))
    session_on(hf, saved_grid).start()
    assert hf.camera_matrix() == kept
