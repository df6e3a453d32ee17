"""Saves, loads and the autosave of the editor, on the real module."""

import os

import pytest

from holloform_editor.files import GridFileError, fallback_autosave_path, load_grid, save_grid
from holloform_editor.session import EditorSession


def quiet_session(hf, path):
    messages = []
    return EditorSession(hf, str(path), report=messages.append, warn=messages.append), messages


def test_load_errors_name_the_file_and_keep_the_grid_and_long_paths_work(hf, saved_grid, tmp_path):
    count, missing = hf.change_count(), tmp_path / "missing.hf"
    with pytest.raises(GridFileError) as caught:
        load_grid(hf, str(missing))
    assert str(caught.value) == f"Could not load {missing}: Unable to open named file. (No such file or directory)"
    assert hf.change_count() == count

    # Paths longer than the library's string setting holds reach the right file.
    folder = tmp_path / ("d" * 60) / ("e" * 60)
    folder.mkdir(parents=True)
    target = folder / ("f" * 40 + ".hf")
    cwd, bounds = os.getcwd(), hf.solid_bounds()
    save_grid(hf, str(target))
    hf.do_action(hf.ActionNewClearGrid)
    load_grid(hf, str(target))
    assert hf.solid_bounds() == bounds and os.getcwd() == cwd and os.listdir(folder) == [target.name]


@pytest.mark.parametrize("drop_the_grid", [EditorSession.quit, EditorSession.new_clear_grid])
def test_unsaved_edits_go_to_the_autosave_only(hf, saved_grid, drop_the_grid):
    saved = saved_grid.read_bytes()
    session, _ = quiet_session(hf, saved_grid)
    session.start()
    hf.edit()
    edited = hf.solid_bounds()
    assert drop_the_grid(session) is not False and not session.dirty
    assert saved_grid.read_bytes() == saved
    load_grid(hf, f"{saved_grid}.autosave")
    assert hf.solid_bounds() == edited


def test_bad_files_leave_the_editor_running(hf, tmp_path):
    target = tmp_path / "grid.hf"
    target.write_bytes(b"not a grid" * 4)
    session, messages = quiet_session(hf, target)
    session.start(levels=4)
    assert f"Could not load {target}: Unknown file type." in messages
    # Nothing was loaded, so --levels makes the grid; the bad file is untouched.
    assert hf.grid_side() == 4096 and hf.solid_bounds() == (0, 0, 0, 4095, 4095, 4095)
    assert session.quit() and target.read_bytes() == b"not a grid" * 4
    assert not (tmp_path / "grid.hf.view").exists()  # no camera beside a file that is not the grid


def test_failed_saves_are_reported_and_unsaved_edits_reach_the_cache_folder(hf, saved_grid, private_cache):
    saved = saved_grid.read_bytes()
    hf.read_only.add(str(saved_grid.parent))
    session, messages = quiet_session(hf, saved_grid)
    session.start()
    hf.edit()
    assert not session.save()
    reason = "Unable to open file for writing. (Read-only file system)"
    assert messages[-1] == f"Could not save {saved_grid}: {reason}"

    # Quitting tries the autosave beside the file, then the cache folder.
    assert session.quit()
    fallback = fallback_autosave_path(str(saved_grid))
    assert os.path.dirname(os.path.dirname(fallback)) == str(private_cache)
    assert messages[-2:] == [f"Could not save {saved_grid}.autosave: {reason}", f"Unsaved edits written to {fallback}"]
    assert saved_grid.read_bytes() == saved and not session.dirty and os.path.getsize(fallback) > 0
    session, messages = quiet_session(hf, saved_grid)
    session.start()
    assert any(text.startswith(f"Note: {fallback} holds edits newer") for text in messages)

    # With the cache folder unusable too, the grid is kept rather than
    # replaced, and a quit reports the loss.
    hf.read_only.add(os.path.dirname(fallback))
    hf.edit()
    count = hf.change_count()
    session.new_clear_grid()
    assert hf.change_count() == count and session.dirty
    assert messages[-1] == "No new clear grid: that would drop the unsaved edits"
    assert not session.quit()
    assert messages[-1] == "Unsaved edits are lost: no autosave could be written"
