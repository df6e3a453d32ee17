"""Makes the editor's package and the built Holloform module importable, and
hands the editor's commands the real module."""

import errno
import os
import pathlib
import struct
import sys

import pytest

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
MODULE_DIR = os.environ.get("HOLLOFORM_MODULE_DIR", str(REPOSITORY / "build" / "python"))
sys.path[:0] = [str(REPOSITORY / "editor"), MODULE_DIR]
os.environ["PYTHONPATH"] = os.pathsep.join([MODULE_DIR, os.environ.get("PYTHONPATH", "")])  # for the editor program
import Holloform  # noqa: E402


def write_cube_vox(path):
    """A .vox file holding one solid 2 x 2 x 2 model."""
    voxels = struct.pack("<i", 8) + bytes(v for i in range(8) for v in (i & 1, i >> 1 & 1, i >> 2, 1))
    body = b"SIZE" + struct.pack("<iiiii", 12, 0, 2, 2, 2) + b"XYZI" + struct.pack("<ii", len(voxels), 0) + voxels
    path.write_bytes(b"VOX " + struct.pack("<i", 150) + b"MAIN" + struct.pack("<ii", 0, len(body)) + body)
    return str(path)


class Library:
    """The Holloform module as the editor sees it, noting the actions run.
    Saves into a folder listed in read_only fail as on a read-only file system."""

    def __init__(self, module, cube):
        self.__dict__.update(module=module, cube=cube, actions=[], read_only=set(), path="", edits=0)

    def __getattr__(self, name):
        return getattr(self.module, name)

    def set_string(self, identifier, value):
        self.path = value
        self.module.set_string(identifier, value)

    def do_action(self, action):
        self.actions.append(action)
        if action == self.ActionSave and os.path.dirname(os.path.abspath(self.path)) in self.read_only:
            error = RuntimeError("Unable to open file for writing.")
            error.errno, error.strerror = errno.EROFS, os.strerror(errno.EROFS)
            raise error
        self.module.do_action(action)

    def edit(self):
        """What a brush stroke does: solid voxels where there were none."""
        self.edits += 1
        self.module.import_model_at(self.cube, 4 + 4 * (self.edits % 12), 20, 20)


@pytest.fixture
def hf(tmp_path):
    """The module on a new clear grid of 64 voxels a side, its display box
    40 voxels a side around the camera's focus 9 voxels ahead of (32, 16, 41)."""
    library = Library(Holloform, write_cube_vox(tmp_path / "cube.vox"))
    for name in ("IntDisplayBoxX", "IntDisplayBoxY", "IntDisplayBoxZ"):
        Holloform.set_int(getattr(Holloform, name), 40)
    Holloform.set_int(Holloform.IntGridLevels, 2)
    for name in ("BoolDisplayBoxStickOn", "BoolMirrorX", "BoolMirrorY", "BoolMirrorZ"):
        Holloform.set_bool(getattr(Holloform, name), 0)
    Holloform.set_camera_matrix([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -32, -16, -41, 1])
    Holloform.set_focus_depth(9.0, 0.0)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    return library


@pytest.fixture
def saved_grid(hf, tmp_path):
    """A grid file holding one stroke."""
    path = tmp_path / "grid.hf"
    hf.edit()
    hf.module.set_string(hf.StringSavePath, str(path))
    hf.module.do_action(hf.ActionSave)
    return path


@pytest.fixture(autouse=True)
def private_cache(tmp_path, monkeypatch):
    """The user's cache folder, where the editor's fallback autosave goes."""
    cache = tmp_path / "cache"
    monkeypatch.setenv("XDG_CACHE_HOME", str(cache))
    return cache
