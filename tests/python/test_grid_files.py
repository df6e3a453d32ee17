"""Saving and loading grids from a script, and the errors it sees."""

import random

import pytest

import Holloform
from holloform_scene import clear_box_scene, export_vertices

FILE_ERRORS = {
    "Unable to open named file.", "Unknown file type.", "Old File Version.",
    "File format not understood.", "Input failed.", "istream read() failed.",
    "istream.read() failed.", "istream ignore() failed.",
    "The grid's level count is not between 2 and 8.",
}


def file_action(action, path):
    Holloform.set_string(Holloform.StringSavePath, str(path))
    Holloform.do_action(action)


def test_a_saved_grid_loads_back_and_bad_files_keep_it(tmp_path):
    clear_box_scene()
    clear_export = export_vertices()
    good = tmp_path / "clear.hf"
    file_action(Holloform.ActionSave, good)
    Holloform.do_action(Holloform.ActionNewSolidGrid)
    assert export_vertices() != clear_export
    file_action(Holloform.ActionLoad, good)
    assert export_vertices() == clear_export

    data = good.read_bytes()
    bad = tmp_path / "bad.hf"
    with pytest.raises(RuntimeError, match=r"^Unable to open named file\.$"):
        file_action(Holloform.ActionLoad, tmp_path / "missing.hf")
    bad.write_bytes(b"NotAGrid\n" + data[9:])
    with pytest.raises(RuntimeError, match=r"^Unknown file type\.$"):
        file_action(Holloform.ActionLoad, bad)
    rng = random.Random(11)
    for _ in range(40):
        bad.write_bytes(data[:rng.randrange(len(data))])
        with pytest.raises(RuntimeError) as caught:
            file_action(Holloform.ActionLoad, bad)
        assert str(caught.value) in FILE_ERRORS
    assert export_vertices() == clear_export


def test_saving_where_no_file_can_be_made_raises(tmp_path):
    with pytest.raises(RuntimeError, match=r"^Unable to open file for writing\.$"):
        file_action(Holloform.ActionSave, tmp_path / "no-such-folder" / "grid.hf")
