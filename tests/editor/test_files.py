"""Saves, loads and the autosave, against a stand-in for the library's file actions, and a save
killed half way through the real library."""

import os
import random
import signal
import struct
import subprocess
import sys
import time

import pytest

from editor_paths import EDITOR, editor_environment
from fake_library import MAGIC, FakeLibrary
from holloform_editor.files import GridFileError, fallback_autosave_path, load_grid, save_grid
from holloform_editor.session import EditorSession


def quiet_session(hf, path):
    messages = []
    return EditorSession(hf, str(path), report=messages.append, warn=messages.append), messages


def leftovers(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".tmp"))


def test_load_errors_are_reported_with_the_path_and_keep_the_grid(tmp_path):
    hf = FakeLibrary(MAGIC + b"current")
    with pytest.raises(GridFileError, match=r"missing\.hf: Unable to open named file"):
        load_grid(hf, str(tmp_path / "missing.hf"))
    (tmp_path / "junk.hf").write_bytes(b"junk")
    with pytest.raises(GridFileError, match="Not a Holloform grid file"):
        load_grid(hf, str(tmp_path / "junk.hf"))
    assert hf.grid == MAGIC + b"current"


def test_paths_longer_than_the_library_holds_still_reach_the_right_file(tmp_path):
    folder = tmp_path / ("d" * 60) / ("e" * 60)
    folder.mkdir(parents=True)
    target = folder / ("f" * 40 + ".hf")
    assert len(str(target).encode()) > 127
    cwd = os.getcwd()
    hf = FakeLibrary(MAGIC + b"long")
    save_grid(hf, str(target))
    hf.grid = b""
    load_grid(hf, str(target))
    assert hf.grid == MAGIC + b"long" and os.getcwd() == cwd and leftovers(folder) == []


@pytest.mark.parametrize("drop_the_grid", [EditorSession.quit, EditorSession.new_clear_grid])
def test_unsaved_edits_go_to_the_autosave_only(tmp_path, drop_the_grid):
    target = tmp_path / "grid.hf"
    target.write_bytes(MAGIC + b"saved")
    hf = FakeLibrary()
    session, _ = quiet_session(hf, target)
    session.start()
    assert hf.grid == MAGIC + b"saved"
    hf.edit("stroke")
    assert drop_the_grid(session) is not False
    assert target.read_bytes() == MAGIC + b"saved"
    assert (tmp_path / "grid.hf.autosave").read_bytes() == MAGIC + b"savedstroke"
    assert not session.dirty


def test_quitting_after_a_save_writes_no_autosave(tmp_path):
    target = tmp_path / "grid.hf"
    session, messages = quiet_session(FakeLibrary(), target)
    session.start()
    session.hf.edit("space")
    assert session.save() and session.quit()
    assert not (tmp_path / "grid.hf.autosave").exists()
    assert f"Saved {target}" in messages


def test_bad_files_leave_the_editor_running(tmp_path):
    target = tmp_path / "grid.hf"
    target.write_bytes(b"not a grid")
    hf = FakeLibrary()
    session, messages = quiet_session(hf, target)
    session.start(levels=4)
    assert any("Not a Holloform grid file" in text for text in messages)
    # Nothing was loaded, so --levels makes the grid; the bad file is untouched.
    assert hf.ints[hf.IntGridLevels] == 4 and hf.grid == MAGIC + b"solid"
    assert session.quit() and target.read_bytes() == b"not a grid"
    assert not (tmp_path / "grid.hf.view").exists()  # no camera beside a file that is not the grid


def test_failed_saves_are_reported_and_unsaved_edits_reach_the_cache_folder(tmp_path, private_cache):
    folder = tmp_path / "read-only"
    folder.mkdir()
    target = folder / "grid.hf"
    target.write_bytes(MAGIC + b"saved")
    hf = FakeLibrary()
    hf.read_only.add(str(folder))
    session, messages = quiet_session(hf, target)
    session.start()
    hf.edit("stroke")
    session.note_button(0, pressed=True)
    assert not session.save()
    assert messages[-1] == f"Could not save {target}: Unable to open file for writing. (Read-only file system)"

    # Quitting tries the autosave beside the file, then the cache folder.
    assert session.quit()
    fallback = fallback_autosave_path(str(target))
    assert os.path.dirname(os.path.dirname(fallback)) == str(private_cache)
    assert messages[-2:] == [f"Could not save {target}.autosave: Unable to open file for writing. "
                             "(Read-only file system)", f"Unsaved edits written to {fallback}"]
    assert open(fallback, "rb").read() == MAGIC + b"savedstroke"
    assert target.read_bytes() == MAGIC + b"saved" and not session.dirty
    session, messages = quiet_session(FakeLibrary(), target)
    session.start()
    assert any(text.startswith(f"Note: {fallback} holds edits newer") for text in messages)

    # With the cache folder unusable too, the grid is kept rather than
    # replaced, and a quit reports the loss.
    hf.read_only.add(os.path.dirname(fallback))
    session, messages = quiet_session(hf, target)
    hf.edit("more")
    session.new_clear_grid()
    assert hf.grid == MAGIC + b"savedstrokemore" and session.dirty
    assert messages[-1] == "No new clear grid: that would drop the unsaved edits"
    assert not session.quit()
    assert messages[-1] == "Unsaved edits are lost: no autosave could be written"


def cell_key(x, y, z):
    """The two words of the key of the cell whose lowest voxel is (x, y, z)."""
    return (x >> 3) << 10 | y >> 14, ((y >> 3) << 21 | z >> 3) & 0xFFFFFFFF


def big_grid_file(nodes=128):
    """A clear 3-level grid whose first `nodes` level-1 nodes are subdivided
    into leaf blocks that each hold one voxel: 72 bytes per leaf block."""
    words = struct.Struct("<2I")
    full, empty = b"\xff" * 64, b"\0" * 64
    parts = [b"Holloform\n\0", struct.pack("<6I", 2, 8, 0, 0, 0, 3), words.pack(0, 0),
             b"\xff" * (nodes // 8) + b"\0" * (64 - nodes // 8), empty, struct.pack("<I", nodes)]
    corners = [(64 * (i % 8), 64 * (i // 8 % 8), 64 * (i // 64)) for i in range(nodes)]
    parts += [words.pack(*cell_key(*corner)) + full + empty for corner in corners]
    parts.append(struct.pack("<I", nodes * 512))
    one_voxel = b"\1" + b"\0" * 63
    for x0, y0, z0 in corners:
        for j in range(512):
            parts.append(words.pack(*cell_key(x0 + 8 * (j % 8), y0 + 8 * (j // 8 % 8), z0 + 8 * (j // 64))) + one_voxel)
    return b"".join(parts)


SAVING_IN_A_LOOP = """
import sys
import Holloform
from holloform_editor.files import load_grid, save_grid
load_grid(Holloform, sys.argv[1])
save_grid(Holloform, sys.argv[2])
print("saved", flush=True)
while True:
    save_grid(Holloform, sys.argv[2])
"""


def test_a_save_killed_half_way_leaves_the_old_file(tmp_path, module_path):
    source, target = tmp_path / "source.hf", tmp_path / "grid.hf"
    source.write_bytes(big_grid_file())
    environment = editor_environment()
    environment["PYTHONPATH"] += os.pathsep + str(EDITOR)
    rng = random.Random(5)
    saved = None
    for _ in range(4):
        saver = subprocess.Popen([sys.executable, "-c", SAVING_IN_A_LOOP, str(source), str(target)],
                                 env=environment, stdout=subprocess.PIPE, text=True)
        try:
            assert saver.stdout.readline() == "saved\n"
            saved = saved or target.read_bytes()
            time.sleep(rng.uniform(0.02, 0.3))
        finally:
            saver.send_signal(signal.SIGKILL)
            saver.wait()
            saver.stdout.close()
        assert target.read_bytes() == saved
    assert len(saved) == len(source.read_bytes())  # the same records, in the library's order
