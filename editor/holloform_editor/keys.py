"""The key and mouse map: the host's own keys, and the text of the help overlay.

Keys that the host does not claim go to the library, whose tools are held
keys: a tool lives while its key is down and chords of two keys combine them.
"""

ESCAPE = "\x1b"
GROW_KEYS = "+="
SHRINK_KEYS = "-_"
HELP_FUNCTION_KEY = 1

# (function key number, EditorSession command, description). GLUT reports
# F1 to F12 as the special keys 1 to 12.
ACTION_KEYS = (
    (2, "save", "save the grid to its file"),
    (3, "load", "reload the grid from its file"),
    (4, "new_solid_grid", "new solid grid"),
    (5, "new_clear_grid", "new clear grid"),
    (6, "snap_vertices", "snap surface vertices to voxels"),
    (7, "toggle_movement", "movement: pointer offset / delta"),
    (8, "next_brush", "next brush"),
    (9, "update_display_box", "display box size from settings"),
    (10, "toggle_fixed_box", "fix the display box / release it"),
    (11, "export_obj", "export the display box as OBJ"),
)

# Models in and out: (key name, character GLUT reports or function key
# number, EditorSession command, description). Ctrl+letter arrives as the
# control character.
EXCHANGE_KEYS = (
    ("Ctrl+E", "\x05", "export_surface_obj", "limit surface of the box to OBJ"),
    ("Ctrl+T", "\x14", "export_surface_stl", "limit surface of the box to STL"),
    ("Ctrl+P", "\x10", "export_surface_ply", "limit surface of the box to PLY"),
    ("Ctrl+B", "\x02", "export_box_vox", "display box to .vox"),
    ("Ctrl+A", "\x01", "export_model_vox", "whole model to .vox"),
    ("Ctrl+O", "\x0f", "import_model", "import .vox / mesh at the focus"),
    ("F12", 12, "screenshot", "screenshot to PNG"),
)

# (digit, bool setting name, description).
DISPLAY_TOGGLES = (
    ("1", "BoolDisplayGridAsSquares", "squares"),
    ("2", "BoolDisplayGridAsLimitMCA", "limit surface"),
    ("3", "BoolWireGrid", "wireframe"),
    ("4", "BoolFoggingOn", "fog"),
    ("5", "BoolLightingOn", "lighting"),
    ("6", "BoolD_TexturingOn", "texturing"),
    ("7", "BoolDisplayWithAdditiveBlend", "additive blend"),
    ("8", "BoolDisplayVertIndex", "vertex overlay"),
    ("9", "BoolCountFaces", "face count"),
    ("0", "BoolP_DoPhysics", "physics"),
)

# The library's keys, as a person uses them.
TOOL_KEYS = (
    ("f (hold)", "look: turn with the pointer"),
    ("v (hold)", "move: sideways and forward"),
    ("f + v", "roll, and move up and down"),
    ("c (hold)", "slide in the plane facing you"),
    ("d (hold)", "slide in the ground plane"),
    ("c + d", "slide in the side plane"),
    ("x (hold)", "orbit about the up axis"),
    ("s (hold)", "orbit about the view axis"),
    ("z (hold)", "focus depth; sideways"),
    ("a (hold)", "far depth; sideways"),
    ("a + z", "far depth, far point kept"),
    ("a (in a tool)", "move the eye along world x/z"),
    ("space", "clear the voxel at the focus"),
    ("b", "capture focus as box centre"),
    ("w / s (in a tool)", "print the display mode"),
)

MOUSE_BUTTONS = (
    ("left button", "add the brush at the focus"),
    ("right button", "remove the brush at the focus"),
    ("middle button", "menu of actions and toggles"),
)

FIRST_STEPS = (
    "FIRST STEPS",
    "F5 clears the grid. Hold the left button",
    "and v, and move the pointer off centre:",
    "the brush draws where the focus goes.",
)

MOVEMENT_NOTE = ("Tools move by the pointer's distance", "from the window centre (F7: by motion).")


def action_for_function_key(number: int):
    """The session command bound to function key `number`, or None."""
    for key, command, _ in ACTION_KEYS:
        if key == number:
            return command
    return None


def exchange_command(key):
    """The session command of a models-in-and-out key (a character or a
    function key number), or None."""
    for _, code, command, _ in EXCHANGE_KEYS:
        if code == key:
            return command
    return None


def toggle_for_digit(character: str):
    """The bool setting name toggled by `character`, or None."""
    for digit, setting, _ in DISPLAY_TOGGLES:
        if digit == character:
            return setting
    return None


def is_host_key(character: str) -> bool:
    """Whether the host keeps this key from the library."""
    return (character == ESCAPE or character in GROW_KEYS or character in SHRINK_KEYS
            or toggle_for_digit(character) is not None or exchange_command(character) is not None)


def library_key_code(character: str) -> int:
    """The code the library receives: letters in lower case, so a chord whose
    key is released while Shift is down still ends."""
    return ord(character.lower()) if character.isalpha() and character.isascii() else ord(character) & 0xFF


def _rows(pairs, width):
    return [f"{key:<{width}} {text}" for key, text in pairs]


def help_columns():
    """The help overlay's text as two columns of lines: the library's keys and
    mouse, then the host's keys."""
    library = ["SCULPT AND FLY"] + _rows(MOUSE_BUTTONS, 13) + [""] + _rows(TOOL_KEYS, 17)
    library += [""] + list(MOVEMENT_NOTE)
    host = ["EDITOR"]
    host += _rows([(f"F{HELP_FUNCTION_KEY}", "show / hide this help")], 6)
    host += _rows([(f"F{key}", text) for key, _, text in ACTION_KEYS], 6)
    host += _rows([(name, text) for name, _, _, text in EXCHANGE_KEYS], 6)
    host += [""] + _rows([(digit, f"toggle {text}") for digit, _, text in DISPLAY_TOGGLES], 6)
    host += _rows([("+ / -", "grow / shrink the display box"), ("Esc", "quit (unsaved edits: autosave)")], 6)
    host += [""] + list(FIRST_STEPS)
    return library, host
