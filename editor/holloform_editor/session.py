"""The editor's host-side state and commands, shared by the window and the headless demo.

The library keeps the grid, the camera and the settings; the session keeps what
the library does not tell: the file, the change count of the saved grid, the
brush and the movement mode. Every command prints one status line, and the
last one stays on the window's status line.
"""

import json
import math
import os
import sys

from . import camera, keys
from .brushes import BRUSH_NAMES, BrushCycle
from .exchange import ExchangeCommands
from .files import (GridFileError, autosave_path, fallback_autosave_path, load_grid, obj_path, save_grid,
                    write_file_atomically)
from .obj_export import export_display_box
from .status import StatusFields, stroke_message

MOVEMENT_NAMES = ("pointer offset", "pointer delta")
BOX_STEP = 8
SMALLEST_BOX = 8
LARGEST_BOX = 256
BOX_SETTINGS = ("IntDisplayBoxX", "IntDisplayBoxY", "IntDisplayBoxZ")
NEAREST_WHEEL_FOCUS = 8.0
FRAME_MARGIN = 4  # voxels of display box around the framed model on each side
VIEW_SUFFIX = ".view"
LAUNCHER = "bash " + os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                                  "scripts", "run.sh")


def view_path(path: str) -> str:
    """The camera file beside a grid file: sculpt.hf -> sculpt.hf.view."""
    return path + VIEW_SUFFIX


def _print_error(text: str) -> None:
    print(text, file=sys.stderr, flush=True)


def _print_status(text: str) -> None:
    print(text, flush=True)


class EditorSession(ExchangeCommands):
    def __init__(self, hf, save_path: str, report=_print_status, warn=_print_error):
        self.hf = hf
        self.save_path = save_path
        self._report = report
        self._warn = warn
        self.brushes = BrushCycle()
        self.delta_movement = False
        self.message = ""
        self.aspect = 4.0 / 3.0
        # The change counts of contents that need no saving: the file's (at
        # the last save or load) and a new grid's or the autosave's. Undo
        # back to either clears the unsaved mark.
        self._file_count = hf.change_count()
        self._kept_count = None
        self._stroke = None  # (adding, change count at the press)
        # The window turns this on: a new clear grid is then seen from
        # outside its display box, with the focus at the box's centre.
        self.view_new_clear_grids = False
        self._file_in_use = False  # the grid came from the file or went to it

    def report(self, text: str) -> None:
        self.message = text
        self._report(text)

    def warn(self, text: str) -> None:
        self.message = text
        self._warn(text)

    @property
    def dirty(self) -> bool:
        """Whether the voxels differ from the file (or the new grid, or the autosave)."""
        return self.hf.change_count() not in (self._file_count, self._kept_count)

    def _mark_saved(self) -> None:
        """The grid is the file's."""
        self._file_count = self.hf.change_count()
        self._kept_count = None

    def _mark_kept(self) -> None:
        """The grid is a new one, or kept in the autosave."""
        self._kept_count = self.hf.change_count()

    # Start and end.

    def start(self, levels=None) -> None:
        """Loads the save path when it exists (with its camera, or framed);
        otherwise, with `levels`, starts on a new solid grid of that many
        levels. Then gives the camera the display box size of the settings."""
        loaded = os.path.exists(self.save_path) and self.load(opening=True)
        if not loaded and levels is not None:
            self.hf.set_int(self.hf.IntGridLevels, levels)
            self.new_solid_grid()
        if not loaded:
            self.update_display_box()
        self._mention_newer_autosave()

    def quit(self) -> bool:
        """Writes unsaved edits to the autosave; False when that failed. The
        camera goes beside the file when the grid was loaded from it or saved
        to it."""
        if self._file_in_use:
            self._save_view()
        return self._autosave_if_dirty()

    # Edits made with the mouse or the keyboard.

    def note_button(self, button: int, pressed: bool) -> None:
        """A press of the left or right button starts a stroke; its release
        says what the stroke did."""
        if button not in (0, 2):
            return
        if pressed:
            self._stroke = (button == 0, self.hf.change_count())
        elif self._stroke is not None:
            adding, count = self._stroke
            self._stroke = None
            focus = self.hf.focus_voxel()
            self.message = stroke_message(self.hf.change_count() != count, adding, self.brushes.index, focus,
                                          self.hf.grid_side(), self.hf.display_box())

    def note_library_key(self, character: str, pressed: bool) -> None:
        """Space clears the voxel at the focus."""
        if pressed and character == " ":
            self.message = ""

    # Commands of the function keys and the menu.

    def save(self) -> bool:
        try:
            save_grid(self.hf, self.save_path)
        except GridFileError as error:
            self.warn(str(error))
            return False
        self._mark_saved()
        self._file_in_use = True
        self._save_view()
        self.report(f"Saved {self.save_path}")
        return True

    def load(self, opening=False) -> bool:
        """Reloads the file (F3) and keeps the camera; on opening, the camera
        kept beside the file comes back, or else the model is framed."""
        if not self._autosave_if_dirty():
            self.warn(f"Not loading {self.save_path}: that would drop the unsaved edits")
            return False
        try:
            load_grid(self.hf, self.save_path)
        except GridFileError as error:
            self.warn(str(error))
            return False
        self._mark_saved()
        self._file_in_use = True
        framed = opening and not self._restore_view() and self.frame_model(quiet=True)
        self.report(f"Loaded {self.save_path}" + (" (framed)" if framed else ""))
        return True

    def new_solid_grid(self) -> None:
        self._new_grid(self.hf.ActionNewSolidGrid, "solid")

    def new_clear_grid(self) -> None:
        self._new_grid(self.hf.ActionNewClearGrid, "clear")

    def snap_vertices(self) -> None:
        self.hf.do_action(self.hf.ActionSnapVertsToVoxels)
        self.report("Surface vertices snapped to their voxels")

    def toggle_movement(self) -> None:
        self.hf.do_action(self.hf.ActionToggleMovement)
        self.delta_movement = not self.delta_movement
        self.report(f"Movement: {self.movement_name}")

    def next_brush(self) -> None:
        self.choose_brush((self.brushes.index + 1) % len(BRUSH_NAMES))

    def previous_brush(self) -> None:
        self.choose_brush((self.brushes.index - 1) % len(BRUSH_NAMES))

    def choose_brush(self, index) -> None:
        """Steps the library's brush cycle forward to brush `index`."""
        index = int(index)
        while self.brushes.index != index:
            self.hf.do_action(self.hf.ActionChangeGridAffector)
            self.brushes.advance()
        self.report(f"Brush: {self.brushes.name}")

    def update_display_box(self) -> None:
        self.hf.do_action(self.hf.ActionUpdateDisplayBox)
        size = "x".join(str(n) for n in self.box_size_setting())
        self.report(f"Display box: {size}")

    def toggle_fixed_box(self) -> None:
        self.hf.do_action(self.hf.ActionToggleDisplayBoxFixed)
        fixed = self.hf.query_bool(self.hf.BoolDisplayBoxStickOn)
        self.report("Display box fixed here" if fixed else "Display box follows the focus")

    def export_obj(self):
        """Writes the display box as OBJ beside the save path; its path, or None."""
        path = obj_path(self.save_path)
        try:
            collector = export_display_box(self.hf, path)
        except OSError as error:
            self.warn(f"Could not export {path}: {error.strerror or error}")
            return None
        if not collector.quads:
            self.report(f"Exported nothing to {path}: the display box holds no surface")
        else:
            self.report(f"Exported {len(collector.quads)} squares to {path}")
        return path

    def undo(self) -> None:
        """Takes back the last step: a stroke, a clear, a new grid or a load."""
        self._step(self.hf.undo_step_count, self.hf.ActionUndo, "undo", "Undone")

    def redo(self) -> None:
        self._step(self.hf.redo_step_count, self.hf.ActionRedo, "redo", "Redone")

    def set_mirror_centre(self) -> None:
        """The mirror planes pass through the middle of the focus voxel."""
        focus = self.hf.focus_voxel()
        if not all(0 <= v < self.hf.grid_side() for v in focus):
            self.report("Mirror centre unchanged: the focus lies outside the grid")
            return
        self.hf.do_action(self.hf.ActionSetMirrorCentre)
        self.report("Mirror centre: voxel {} {} {}".format(*focus))

    def frame_model(self, quiet=False) -> bool:
        """Moves the camera and the display box to show every solid voxel,
        with the focus at their centre."""
        bounds = self.hf.solid_bounds()
        if bounds is None:
            if not quiet:
                self.report("Nothing to frame: no voxel is solid")
            return False
        self._look_at(bounds)
        extents = [bounds[axis + 3] - bounds[axis] + 1 + 2 * FRAME_MARGIN for axis in range(3)]
        self._set_box_size(extents)
        centre = [(bounds[axis] + bounds[axis + 3] + 1) / 2.0 for axis in range(3)]
        self._fix_box_at(centre)
        if not quiet:
            self.report("Framed the model: " + "x".join(str(bounds[a + 3] - bounds[a] + 1) for a in range(3))
                        + " voxels")
        return True

    # Host keys and the mouse.

    def toggle_setting(self, setting: str) -> bool:
        identifier = getattr(self.hf, setting)
        value = not self.hf.query_bool(identifier)
        self.hf.set_bool(identifier, value)
        label = next(row.text for row in keys.KEY_TABLE + keys.MENU_ONLY_ROWS if row.argument == setting)
        self.report(f"{label.replace('toggle ', '').capitalize()}: {'on' if value else 'off'}")
        return value

    def resize_display_box(self, step: int) -> None:
        """Grows (or shrinks) every side of the display box by `step` voxels."""
        self._set_box_size([size + step for size in self.box_size_setting()])
        self.update_display_box()

    def resize_key(self, character: str) -> None:
        self.resize_display_box(BOX_STEP if character in "+=" else -BOX_STEP)

    def change_focus_depth(self, steps: int) -> None:
        """The wheel: each step moves the focus a tenth of its distance (at
        least one voxel) farther, or nearer for negative steps, but never
        nearer than the focus tool (z) goes."""
        distance, far = self.hf.focus_depth()
        step = max(1.0, distance * 0.1)
        self.hf.set_focus_depth(max(NEAREST_WHEEL_FOCUS, distance + steps * step), far)

    def run_command(self, command: str, argument=None):
        method = getattr(self, command)
        return method() if argument is None else method(argument)

    def host_key(self, name: str) -> bool:
        """Runs the session command bound to a key event name; False for keys
        that belong to the library (or to the window)."""
        binding = keys.binding_for_event(name)
        if binding is None or not hasattr(self, binding.command):
            return False
        if binding.command == "resize_key":
            self.resize_key(name)
        else:
            self.run_command(binding.command, binding.argument)
        return True

    # What the window shows.

    @property
    def movement_name(self) -> str:
        return MOVEMENT_NAMES[1 if self.delta_movement else 0]

    def title(self, frames_per_second: float) -> str:
        name = os.path.basename(self.save_path) + ("*" if self.dirty else "")
        mirror = f" - mirror {self.mirror_axes}" if self.mirror_axes else ""
        return (f"Holloform - {name} - brush: {self.brushes.name}{mirror} - "
                f"movement: {self.movement_name} - {frames_per_second:.0f} fps")

    def status_fields(self) -> StatusFields:
        return StatusFields(brush=self.brushes.name, box=self.hf.display_box(),
                            box_fixed=bool(self.hf.query_bool(self.hf.BoolDisplayBoxStickOn)),
                            focus=self.hf.focus_voxel(), focus_distance=self.hf.focus_depth()[0],
                            unsaved=self.dirty, message=self.message)

    def box_size_setting(self):
        return [self.hf.query_int(getattr(self.hf, setting)) for setting in BOX_SETTINGS]

    @property
    def mirror_axes(self) -> str:
        """The mirror switches that are on, as "xz" (empty for none)."""
        settings = (("x", "BoolMirrorX"), ("y", "BoolMirrorY"), ("z", "BoolMirrorZ"))
        return "".join(axis for axis, name in settings if self.hf.query_bool(getattr(self.hf, name)))

    # Helpers.

    def _step(self, count, action: int, word: str, done: str) -> None:
        if count() == 0:
            self.report(f"Nothing to {word}")
            return
        self.hf.do_action(action)
        self.report(f"{done}: {self.hf.undo_step_count()} to undo, {self.hf.redo_step_count()} to redo")

    def _look_at(self, box) -> None:
        """Puts the camera where it sees the voxel box whole, the focus at its centre."""
        matrix, distance = camera.framing(box, self.aspect)
        self.hf.set_camera_matrix(matrix)
        self.hf.set_focus_depth(distance, 0.0)

    def _set_box_size(self, sizes) -> None:
        for setting, size in zip(BOX_SETTINGS, sizes):
            self.hf.set_int(getattr(self.hf, setting), int(min(max(size, SMALLEST_BOX), LARGEST_BOX)))
        self.hf.do_action(self.hf.ActionUpdateDisplayBox)

    def _fix_box_at(self, centre) -> None:
        """Fixes the display box at the voxel holding `centre`: the library
        fixes it at the focus, so the camera looks at that point meanwhile."""
        matrix = self.hf.camera_matrix()
        distance = self.hf.focus_depth()[0]
        x, y, z = (math.floor(c) + 0.5 for c in centre)
        self.hf.set_camera_matrix(camera.translation(-x, -y, -(z + distance)))
        if self.hf.query_bool(self.hf.BoolDisplayBoxStickOn):
            self.hf.do_action(self.hf.ActionToggleDisplayBoxFixed)
        self.hf.do_action(self.hf.ActionToggleDisplayBoxFixed)
        self.hf.set_camera_matrix(matrix)

    def _save_view(self) -> None:
        """Keeps the camera and the display box beside the grid file."""
        box = self.hf.display_box()
        view = {
            "matrix": list(self.hf.camera_matrix()),
            "focus_depth": list(self.hf.focus_depth()),
            "box_size": self.box_size_setting(),
            "box_fixed": bool(self.hf.query_bool(self.hf.BoolDisplayBoxStickOn)),
            "box_centre": [(box[axis] + box[axis + 3] + 1) / 2.0 for axis in range(3)],
        }
        path = view_path(self.save_path)
        try:
            write_file_atomically(path, (json.dumps(view) + "\n").encode())
        except OSError as error:
            self.warn(f"Could not keep the camera in {path}: {error.strerror or error}")

    def _restore_view(self) -> bool:
        """Puts back the camera kept beside the grid file; False when there is
        none or it does not make sense."""
        try:
            with open(view_path(self.save_path), "rb") as stream:
                view = json.loads(stream.read(4096).decode())
            matrix = [float(v) for v in view["matrix"]]
            focus, far = (float(v) for v in view["focus_depth"])
            sizes = [int(v) for v in view["box_size"]]
            fixed = view["box_fixed"] is True
            centre = [float(v) for v in view["box_centre"]]
        except (OSError, ValueError, KeyError, TypeError, AttributeError, UnicodeDecodeError):
            return False
        numbers = [focus, far] + centre
        if not camera.is_rigid(matrix) or len(sizes) != 3 or len(centre) != 3 or \
                not all(math.isfinite(v) for v in numbers):
            return False
        self._set_box_size(sizes)
        if fixed:
            self._fix_box_at(centre)
        elif self.hf.query_bool(self.hf.BoolDisplayBoxStickOn):
            self.hf.do_action(self.hf.ActionToggleDisplayBoxFixed)
        self.hf.set_camera_matrix(matrix)
        self.hf.set_focus_depth(focus, far)
        return True

    def _new_grid(self, action: int, kind: str) -> None:
        if not self._autosave_if_dirty():
            self.warn(f"No new {kind} grid: that would drop the unsaved edits")
            return
        levels = self.hf.query_int(self.hf.IntGridLevels)
        self.hf.do_action(action)
        self._mark_kept()
        if self.view_new_clear_grids and action == self.hf.ActionNewClearGrid:
            self._look_at(self.hf.display_box())
        self.report(f"New {kind} grid of {levels} levels")

    def _autosave_if_dirty(self) -> bool:
        """Keeps unsaved edits in the autosave before they could be lost: beside
        the file, or else in the user's cache folder."""
        if not self.dirty:
            return True
        beside, fallback = self._autosave_paths()
        for path in (beside, fallback):
            try:
                if path == fallback:
                    os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
                save_grid(self.hf, path)
            except GridFileError as error:
                self.warn(str(error))
                continue
            except OSError as error:
                self.warn(f"Could not save {path}: {error.strerror or error}")
                continue
            self._mark_kept()
            self.report(f"Unsaved edits written to {path}")
            return True
        self.warn("Unsaved edits are lost: no autosave could be written")
        return False

    def _autosave_paths(self):
        return autosave_path(self.save_path), fallback_autosave_path(self.save_path)

    def _mention_newer_autosave(self) -> None:
        for path in self._autosave_paths():
            try:
                newer = os.path.getmtime(path) > os.path.getmtime(self.save_path)
            except FileNotFoundError:
                newer = os.path.exists(path)
            if newer:
                self.report(f"Note: {path} holds edits newer than {self.save_path}; "
                            f"open it with: {LAUNCHER} {path}")
