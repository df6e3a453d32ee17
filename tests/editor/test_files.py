"""Saves, loads and the autosave, against a stand-in for the library's file actions."""

import os

import pytest

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
