"""The editor's host-side state and commands, shared by the window and the headless demo.

The library keeps the grid, the camera and the settings; the session keeps what
the library does not tell: the file, whether there are unsaved edits, the brush
and the movement mode. Every command prints one status line.
"""

import os
import sys

from . import keys
from .brushes import BrushCycle
from .exchange import ExchangeCommands
from .files import GridFileError, autosave_path, load_grid, obj_path, save_grid
from .obj_export import export_display_box

MOVEMENT_NAMES = ("pointer offset", "pointer delta")
BOX_STEP = 8
SMALLEST_BOX = 8
LARGEST_BOX = 256
BOX_SETTINGS = ("IntDisplayBoxX", "IntDisplayBoxY", "IntDisplayBoxZ")


def _print_error(text: str) -> None:
    print(text, file=sys.stderr, flush=True)


def _print_status(text: str) -> None:
    print(text, flush=True)


class EditorSession(ExchangeCommands):
    def __init__(self, hf, save_path: str, report=_print_status, warn=_print_error):
        self.hf = hf
        self.save_path = save_path
        self.report = report
        self.warn = warn
        self.brushes = BrushCycle()
        self.delta_movement = False
        self.dirty = False

    # Start and end.

    def start(self, levels=None) -> None:
        """Loads the save path when it exists; otherwise, with `levels`, starts
        on a new solid grid of that many levels. Then gives the camera the
        display box size of the settings."""
        loaded = os.path.exists(self.save_path) and self.load()
        if not loaded and levels is not None:
            self.hf.set_int(self.hf.IntGridLevels, levels)
            self.new_solid_grid()
        self.update_display_box()
        self._mention_newer_autosave()

    def quit(self) -> bool:
        """Writes unsaved edits to the autosave; False when that failed."""
        return self._autosave_if_dirty()

    # Edits made with the mouse or the keyboard.

    def note_button(self, button: int, pressed: bool) -> None:
        """The left and right buttons apply the brush while held."""
        if pressed and button in (0, 2):
            self.dirty = True

    def note_library_key(self, character: str, pressed: bool) -> None:
        """Space clears the voxel at the focus."""
        if pressed and character == " ":
            self.dirty = True

    # Commands of the function keys and the menu.

    def save(self) -> bool:
        try:
            save_grid(self.hf, self.save_path)
        except GridFileError as error:
            self.warn(str(error))
            return False
        self.dirty = False
        self.report(f"Saved {self.save_path}")
        return True

    def load(self) -> bool:
        self._autosave_if_dirty()
        try:
            load_grid(self.hf, self.save_path)
        except GridFileError as error:
            self.warn(str(error))
            return False
        self.dirty = False
        self.report(f"Loaded {self.save_path}")
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
        self.report(f"Exported {len(collector.quads)} squares to {path}")
        return path

    # Host keys.

    def toggle_setting(self, setting: str) -> bool:
        identifier = getattr(self.hf, setting)
        value = not self.hf.query_bool(identifier)
        self.hf.set_bool(identifier, value)
        label = next(text for _, name, text in keys.DISPLAY_TOGGLES if name == setting)
        self.report(f"{label.capitalize()}: {'on' if value else 'off'}")
        return value

    def resize_display_box(self, step: int) -> None:
        """Grows (or shrinks) every side of the display box by `step` voxels."""
        for setting, size in zip(BOX_SETTINGS, self.box_size_setting()):
            size = min(max(size + step, SMALLEST_BOX), LARGEST_BOX)
            self.hf.set_int(getattr(self.hf, setting), size)
        self.update_display_box()

    def run_command(self, command: str):
        return getattr(self, command)()

    def host_key(self, character: str) -> bool:
        """Handles a host key press (other than Escape); False for keys that
        belong to the library."""
        setting = keys.toggle_for_digit(character)
        if setting is not None:
            self.toggle_setting(setting)
        elif character in keys.GROW_KEYS:
            self.resize_display_box(BOX_STEP)
        elif character in keys.SHRINK_KEYS:
            self.resize_display_box(-BOX_STEP)
        else:
            return False
        return True

    # What the window title shows.

    @property
    def movement_name(self) -> str:
        return MOVEMENT_NAMES[1 if self.delta_movement else 0]

    def title(self, frames_per_second: float) -> str:
        name = os.path.basename(self.save_path) + ("*" if self.dirty else "")
        return (f"Holloform - {name} - brush: {self.brushes.name} - "
                f"movement: {self.movement_name} - {frames_per_second:.0f} fps")

    def box_size_setting(self):
        return [self.hf.query_int(getattr(self.hf, setting)) for setting in BOX_SETTINGS]

    # Helpers.

    def _new_grid(self, action: int, kind: str) -> None:
        self._autosave_if_dirty()
        levels = self.hf.query_int(self.hf.IntGridLevels)
        self.hf.do_action(action)
        self.dirty = False
        self.report(f"New {kind} grid of {levels} levels")

    def _autosave_if_dirty(self) -> bool:
        """Keeps unsaved edits in the autosave before they could be lost."""
        if not self.dirty:
            return True
        path = autosave_path(self.save_path)
        try:
            save_grid(self.hf, path)
        except GridFileError as error:
            self.warn(f"{error} - unsaved edits are lost")
            return False
        self.dirty = False
        self.report(f"Unsaved edits written to {path}")
        return True

    def _mention_newer_autosave(self) -> None:
        path = autosave_path(self.save_path)
        try:
            newer = os.path.getmtime(path) > os.path.getmtime(self.save_path)
        except FileNotFoundError:
            newer = os.path.exists(path)
        if newer:
            self.report(f"Note: {path} holds edits newer than {self.save_path}; "
                        f"open it with: holloform {path}")
