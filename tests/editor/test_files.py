"""Atomic saves, loads and the autosave, against a stand-in for the library's file actions."""

import os
import stat

import pytest

from fake_library import MAGIC, FakeLibrary
from holloform_editor.files import GridFileError, load_grid, save_grid
from holloform_editor.session import EditorSession


def quiet_session(hf, path):
    messages = []
    return EditorSession(hf, str(path), report=messages.append, warn=messages.append), messages


def leftovers(folder):
    return sorted(name for name in os.listdir(folder) if name.endswith(".tmp"))


def test_save_replaces_the_file_only_when_it_succeeds(tmp_path):
    hf = FakeLibrary(MAGIC + b"new")
    target = tmp_path / "grid.hf"
    target.write_bytes(MAGIC + b"old")
    hf.fail_save_after = 4
    with pytest.raises(GridFileError, match="Unable to write file"):
        save_grid(hf, str(target))
    assert target.read_bytes() == MAGIC + b"old"
    hf.fail_save_after = None
    save_grid(hf, str(target))
    assert target.read_bytes() == MAGIC + b"new"
    assert leftovers(tmp_path) == []
    # The library wrote a sibling, never the target itself.
    assert os.path.dirname(hf.strings[hf.StringSavePath]) == str(tmp_path)
    assert hf.strings[hf.StringSavePath] != str(target)


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


def test_save_through_a_link_updates_its_target_and_keeps_permissions(tmp_path):
    real = tmp_path / "real.hf"
    real.write_bytes(MAGIC + b"old")
    real.chmod(0o600)
    link = tmp_path / "link.hf"
    link.symlink_to(real)
    save_grid(FakeLibrary(MAGIC + b"new"), str(link))
    assert link.is_symlink() and real.read_bytes() == MAGIC + b"new"
    assert stat.S_IMODE(real.stat().st_mode) == 0o600


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
    # An autosave that cannot be written is reported.
    session, messages = quiet_session(FakeLibrary(), tmp_path / "gone" / "grid.hf")
    session.hf.edit("stroke")
    assert not session.quit()
    assert "unsaved edits are lost" in messages[-1]
