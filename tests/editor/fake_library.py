"""A small stand-in for the Holloform module's settings, file actions and queries.

It keeps the grid as a byte string and counts its changes as the library does. Save writes it to the file named by
StringSavePath (cut to 127 bytes as the library's slot would), Load reads a
file that starts with the magic line. Failures raise RuntimeError as the
module does, with the system's errno and strerror. Folders listed in
read_only refuse saves as a read-only file system would.
"""

import errno
import os

MAGIC = b"Holloform\n"


def library_error(message, number=None):
    error = RuntimeError(message)
    error.errno = number
    error.strerror = os.strerror(number) if number else None
    return error


class FakeLibrary:
    StringSavePath = 0
    (ActionSave, ActionLoad, ActionNewSolidGrid, ActionNewClearGrid, ActionSnapVertsToVoxels,
     ActionToggleMovement, ActionChangeGridAffector, ActionUpdateDisplayBox, ActionToggleDisplayBoxFixed,
     ActionExportDisplayBoxAsSquares, ActionUndo, ActionRedo, ActionSetMirrorCentre) = range(13)
    IntGridLevels, IntDisplayBoxX, IntDisplayBoxY, IntDisplayBoxZ = range(4)
    (BoolD_OutsideSolid, BoolFoggingOn, BoolDisplayBoxStickOn, BoolDisplayGridAsSquares,
     BoolDisplayGridAsLimitMCA, BoolDisplayVertIndex, BoolLightingOn, BoolD_TexturingOn, BoolD_ClearBuffers,
     BoolWireGrid, BoolCountFaces, BoolCompensateForTwist, BoolDisplayWithAdditiveBlend,
     BoolD_HierarchyContainingFocus, BoolP_DoPhysics) = range(15)
    BoolMirrorX, BoolMirrorY, BoolMirrorZ = range(19, 22)

    def __init__(self, grid=MAGIC + b"start"):
        self.grid = grid
        self.strings = {0: ""}
        self.ints = {0: 3, 1: 40, 2: 40, 3: 40}
        self.bools = {}
        self.actions = []
        self.read_only = set()  # folders where no file can be written
        self.fail_save_after = None  # bytes written before a save fails
        self.changes = 0  # the change count: a number naming the grid's contents
        self.issued = 0
        self.undo_steps = []  # (grid, change count) before each step
        self.redo_steps = []
        self.centre = (256.0, 256.0, 256.0)
        self.matrix = (1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, -32.0, -16.0, -41.0, 1.0)
        self.depth = (9.0, 0.0)
        self.bounds = None

    def change_count(self):
        return self.changes

    def undo_step_count(self):
        return len(self.undo_steps)

    def redo_step_count(self):
        return len(self.redo_steps)

    def mirror_centre(self):
        return self.centre

    def _new_contents(self, grid):
        """A step: the grid becomes `grid` under a new change count."""
        self.undo_steps.append((self.grid, self.changes))
        self.redo_steps.clear()
        self.issued += 1
        self.grid, self.changes = grid, self.issued

    def _swap(self, source, target):
        target.append((self.grid, self.changes))
        self.grid, self.changes = source.pop()

    def grid_side(self):
        return 512

    def focus_voxel(self):
        eye = [-t for t in self.matrix[12:15]]  # the fake's camera never turns
        return (int(eye[0]), int(eye[1]), int(eye[2] - self.depth[0]))

    def display_box(self):
        return (12, 0, 12, 51, 39, 51)

    def solid_bounds(self):
        return self.bounds

    def camera_matrix(self):
        return self.matrix

    def set_camera_matrix(self, matrix):
        self.matrix = tuple(matrix)

    def focus_depth(self):
        return self.depth

    def set_focus_depth(self, focus, far):
        self.depth = (max(1.0, focus), max(0.0, far))

    def set_string(self, identifier, value):
        self.strings[identifier] = value.encode("utf-8")[:127].decode("utf-8", "ignore")

    def set_int(self, identifier, value):
        self.ints[identifier] = value

    def query_int(self, identifier):
        return self.ints.get(identifier, 1)

    def set_bool(self, identifier, value):
        self.bools[identifier] = bool(value)

    def query_bool(self, identifier):
        return int(self.bools.get(identifier, False))

    def do_action(self, action):
        self.actions.append(action)
        path = self.strings[self.StringSavePath]
        if action == self.ActionSave:
            self._save(path)
        elif action == self.ActionLoad:
            self._load(path)
        elif action in (self.ActionNewSolidGrid, self.ActionNewClearGrid):
            self._new_contents(MAGIC + (b"solid" if action == self.ActionNewSolidGrid else b"clear"))
        elif action == self.ActionUndo and self.undo_steps:
            self._swap(self.undo_steps, self.redo_steps)
        elif action == self.ActionRedo and self.redo_steps:
            self._swap(self.redo_steps, self.undo_steps)
        elif action == self.ActionSetMirrorCentre:
            self.centre = tuple(v + 0.5 for v in self.focus_voxel())
        elif action == self.ActionToggleDisplayBoxFixed:
            self.bools[self.BoolDisplayBoxStickOn] = not self.bools.get(self.BoolDisplayBoxStickOn, False)

    def _save(self, path):
        try:
            if os.path.dirname(os.path.abspath(path)) in self.read_only:
                raise OSError(errno.EROFS, os.strerror(errno.EROFS))
            stream = open(path, "wb")
        except OSError as error:
            raise library_error("Unable to open file for writing.", error.errno) from None
        with stream:
            stream.write(self.grid)

    def _load(self, path):
        try:
            with open(path, "rb") as stream:
                data = stream.read()
        except OSError as error:
            raise library_error("Unable to open named file.", error.errno) from None
        if not data.startswith(MAGIC):
            raise RuntimeError("Not a Holloform grid file.")
        self._new_contents(data)

    def edit(self, text):
        """What a brush stroke does to the grid."""
        self._new_contents(self.grid + text.encode())
