"""The one key table: every key and mouse binding of the editor.

The help overlay, the middle-button menu and the README's key section are all
made from KEY_TABLE (tests/editor checks the README against it). A binding is
added by appending a row; the window looks keys up here by their event name.

Event names: "F1" ... "F12" and "Home" for special keys, the character itself
for other keys ("1", "+", " "), with "Ctrl+", "Alt+" and "Shift+" in front
when those are held (Shift only for special keys and with Ctrl: a shifted
character is already its own name). Ctrl+letter is named by the lower-case
letter: "Ctrl+z", "Ctrl+Shift+z".

Keys that no row claims go to the library, whose tools are held keys: a tool
lives while its key is down and chords of two keys combine them.
"""

from dataclasses import dataclass
from typing import Optional, Tuple

ESCAPE = "\x1b"

# Sections of the table, in the order the help and the README show them.
MOUSE = "mouse"
LIBRARY = "library"
EDITOR = "editor"

# Submenus of the middle-button menu, in menu order.
FILE_MENU = "File"
EDIT_MENU = "Edit"
MODELS_MENU = "Models"
BRUSH_MENU = "Brush"
DISPLAY_MENU = "Display"
CAMERA_MENU = "Camera"
MIRROR_MENU = "Mirror"
MENUS = (FILE_MENU, EDIT_MENU, MODELS_MENU, BRUSH_MENU, DISPLAY_MENU, CAMERA_MENU, MIRROR_MENU)


@dataclass(frozen=True)
class Binding:
    """One row of the key table.

    shown:    the key as people read it ("F2", "f (hold)", "+ / -").
    text:     what it does, as the help, the menu and the README say it.
    section:  MOUSE or LIBRARY (the library's own bindings, documented only)
              or EDITOR (the host's keys, run through `command`).
    events:   the event names that run the command (EDITOR rows).
    command:  the name of an EditorSession or EditorWindow method.
    argument: given to the command, when it takes one.
    menu:     the submenu that lists it, or "" for none.
    """
    shown: str
    text: str
    section: str = EDITOR
    events: Tuple[str, ...] = ()
    command: str = ""
    argument: Optional[str] = None
    menu: str = ""


def _mouse(shown, text):
    return Binding(shown, text, MOUSE)


def _library(shown, text):
    return Binding(shown, text, LIBRARY)


def _models(letter, text, command):
    """A key that takes models in or out: Ctrl and a letter."""
    return Binding(f"Ctrl+{letter}", text, events=(f"Ctrl+{letter.lower()}",), command=command, menu=MODELS_MENU)


def _toggle(digit, setting, label, menu=DISPLAY_MENU, event=None):
    return Binding(digit, f"toggle {label}", events=(event or digit,), command="toggle_setting", argument=setting,
                   menu=menu)


KEY_TABLE = (
    _mouse("left button", "add the brush at the focus"),
    _mouse("right button", "remove the brush at the focus"),
    _mouse("middle button", "menu of every action and toggle"),
    _mouse("wheel", "focus depth: nearer / farther"),
    _mouse("Alt + left drag", "orbit about the focus"),
    _mouse("Alt + right drag", "pan the view"),

    _library("f (hold)", "look: turn with the pointer"),
    _library("v (hold)", "move: sideways and forward"),
    _library("f + v", "roll, and move up and down"),
    _library("c (hold)", "slide in the plane facing you"),
    _library("d (hold)", "slide in the ground plane"),
    _library("c + d", "slide in the side plane"),
    _library("x (hold)", "orbit about the up axis"),
    _library("s (hold)", "orbit about the view axis"),
    _library("z (hold)", "focus depth; sideways"),
    _library("a (hold)", "far depth; sideways"),
    _library("a + z", "far depth, far point kept"),
    _library("a (in a tool)", "move the eye along world x/z"),
    _library("space", "clear the voxel at the focus"),
    _library("b", "capture focus as box centre"),
    _library("w / s (in a tool)", "print the display mode"),

    Binding("F1", "show / hide this help", events=("F1",), command="toggle_help", menu=DISPLAY_MENU),
    Binding("F2", "save the grid to its file", events=("F2",), command="save", menu=FILE_MENU),
    Binding("F3", "reload the grid from its file", events=("F3",), command="load", menu=FILE_MENU),
    Binding("F4", "new solid grid", events=("F4",), command="new_solid_grid", menu=FILE_MENU),
    Binding("F5", "new clear grid", events=("F5",), command="new_clear_grid", menu=FILE_MENU),
    Binding("F6", "snap surface vertices to voxels", events=("F6",), command="snap_vertices",
            menu=DISPLAY_MENU),
    Binding("F7", "movement: pointer offset / delta", events=("F7",), command="toggle_movement",
            menu=CAMERA_MENU),
    Binding("F8", "next brush", events=("F8",), command="next_brush", menu=BRUSH_MENU),
    Binding("Shift+F8", "previous brush", events=("Shift+F8",), command="previous_brush", menu=BRUSH_MENU),
    Binding("F9", "display box size from settings", events=("F9",), command="update_display_box",
            menu=DISPLAY_MENU),
    Binding("F10", "fix the display box / release it", events=("F10",), command="toggle_fixed_box",
            menu=DISPLAY_MENU),
    Binding("F11", "export the display box as OBJ", events=("F11",), command="export_obj", menu=FILE_MENU),
    Binding("Home", "frame the model", events=("Home",), command="frame_model", menu=CAMERA_MENU),
    _models("E", "export the box's limit surface as OBJ", "export_surface_obj"),
    _models("T", "export the box's limit surface as STL", "export_surface_stl"),
    _models("P", "export the box's limit surface as PLY", "export_surface_ply"),
    _models("B", "export the display box as .vox", "export_box_vox"),
    _models("A", "export the whole model as .vox", "export_model_vox"),
    _models("O", "import a .vox or mesh at the focus", "import_model"),
    Binding("F12", "save a screenshot as PNG", events=("F12",), command="screenshot", menu=FILE_MENU),
    _toggle("1", "BoolDisplayGridAsSquares", "squares"),
    _toggle("2", "BoolDisplayGridAsLimitMCA", "limit surface"),
    _toggle("3", "BoolWireGrid", "wireframe"),
    _toggle("4", "BoolFoggingOn", "fog"),
    _toggle("5", "BoolLightingOn", "lighting"),
    _toggle("6", "BoolD_TexturingOn", "texturing"),
    _toggle("7", "BoolDisplayWithAdditiveBlend", "additive blend"),
    _toggle("8", "BoolDisplayVertIndex", "vertex overlay"),
    _toggle("9", "BoolCountFaces", "face count"),
    _toggle("0", "BoolP_DoPhysics", "physics"),
    Binding("+ / -", "grow / shrink the display box", events=("+", "=", "-", "_"), command="resize_key",
            menu=""),
    Binding("Esc", "quit (unsaved edits: autosave)", events=(ESCAPE,), command="quit", menu=FILE_MENU),
    # Ctrl+letters that no library tool uses; Ctrl+h, i, j and m would
    # arrive as Backspace, Tab and Enter.
    Binding("Ctrl+Z", "undo a stroke, clear, new grid, load or import", events=("Ctrl+z",), command="undo",
            menu=EDIT_MENU),
    Binding("Ctrl+Y", "redo (also Ctrl+Shift+Z)", events=("Ctrl+y", "Ctrl+Shift+z"), command="redo",
            menu=EDIT_MENU),
    _toggle("Ctrl+K", "BoolMirrorX", "mirror across x", MIRROR_MENU, "Ctrl+k"),
    _toggle("Ctrl+L", "BoolMirrorY", "mirror across y", MIRROR_MENU, "Ctrl+l"),
    _toggle("Ctrl+U", "BoolMirrorZ", "mirror across z", MIRROR_MENU, "Ctrl+u"),
    Binding("Ctrl+G", "mirror planes through the focus voxel", events=("Ctrl+g",), command="set_mirror_centre",
            menu=MIRROR_MENU),
)

# Entries of the menu alone, without a key of their own.
MENU_ONLY = "menu"
MENU_ONLY_ROWS = (
    Binding(MENU_ONLY, "toggle grid cells at the far point", command="toggle_setting",
            argument="BoolD_HierarchyContainingFocus", menu=DISPLAY_MENU),
    Binding("+", "grow the display box", command="resize_key", argument="+", menu=DISPLAY_MENU),
    Binding("-", "shrink the display box", command="resize_key", argument="-", menu=DISPLAY_MENU),
)

FIRST_STEPS = (
    "FIRST STEPS",
    "F5 gives a clear grid, F10 fixes the",
    "display box around the focus; hold the",
    "left button and v and move the pointer",
    "off centre to draw. Home frames it all.",
)

MOVEMENT_NOTE = ("Tools move by the pointer's distance", "from the window centre (F7: by motion).")


def rows(section: str):
    return [row for row in KEY_TABLE if row.section == section]


def binding_for_event(name: str) -> Optional[Binding]:
    """The editor's binding for an event name, or None (the key is the library's)."""
    for row in KEY_TABLE:
        if name in row.events:
            return row
    return None


def is_host_key(name: str) -> bool:
    """Whether the host keeps this key from the library."""
    return binding_for_event(name) is not None


def event_name(key, ctrl=False, alt=False, shift=False) -> str:
    """The event name of a key: an int is a special key's GLUT number (F1 to
    F12 are 1 to 12, Home is 106), a str a character as GLUT reports it."""
    if isinstance(key, int):
        base = f"F{key}" if 1 <= key <= 12 else {106: "Home"}.get(key, f"special {key}")
        special = True
    else:
        base = key
        special = False
        if ctrl and len(key) == 1 and ord(key) < 32:
            base = chr(ord(key) + 96)  # GLUT reports Ctrl+z as its control code
        if ctrl and base.isalpha():
            base = base.lower()
    prefix = ("Ctrl+" if ctrl else "") + ("Alt+" if alt else "")
    if shift and (special or ctrl):
        prefix += "Shift+"
    return prefix + base


def library_key_code(character: str) -> int:
    """The code the library receives: letters in lower case, so a chord whose
    key is released while Shift is down still ends."""
    return ord(character.lower()) if character.isalpha() and character.isascii() else ord(character) & 0xFF


def _lines(pairs, width):
    return [f"{key:<{width}} {text}" for key, text in pairs]


def help_columns():
    """The help overlay's text as two columns of lines: the mouse and the
    library's keys, then the editor's keys and the first steps."""
    library = ["SCULPT AND FLY"] + _lines([(r.shown, r.text) for r in rows(MOUSE)], 17) + [""]
    library += _lines([(r.shown, r.text) for r in rows(LIBRARY)], 17)
    library += [""] + list(MOVEMENT_NOTE)
    host = ["EDITOR"] + _lines([(r.shown, r.text) for r in rows(EDITOR)], 9)
    host += [""] + list(FIRST_STEPS)
    return library, host


def readme_tables() -> str:
    """The README's tables of mouse, library keys and editor keys, in Markdown."""
    def table(title, section):
        lines = [f"| {title} | Action |", "|---|---|"]
        lines += [f"| {row.shown} | {row.text} |" for row in rows(section)]
        return "\n".join(lines)
    return "\n\n".join([table("Mouse", MOUSE), table("Library key", LIBRARY), table("Editor key", EDITOR)])
