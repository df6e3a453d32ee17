"""Saving and loading grids from a script, and the errors it sees."""

import os
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


def load(path):
    Holloform.set_string(Holloform.StringSavePath, str(path))
    Holloform.do_action(Holloform.ActionLoad)


def save(path):
    Holloform.set_string(Holloform.StringSavePath, str(path))
    Holloform.do_action(Holloform.ActionSave)


def test_a_saved_grid_loads_back(tmp_path):
    clear_box_scene()
    clear_export = export_vertices()
    save(tmp_path / "clear.hf")
    Holloform.do_action(Holloform.ActionNewSolidGrid)
    assert export_vertices() != clear_export
    load(tmp_path / "clear.hf")
    assert export_vertices() == clear_export


def test_loading_a_missing_file_raises_and_keeps_the_grid(tmp_path):
    clear_box_scene()
    before = export_vertices()
    with pytest.raises(RuntimeError, match=r"^Unable to open named file\.$"):
        load(tmp_path / "missing.hf")
    assert export_vertices() == before


def test_saving_where_no_file_can_be_made_raises(tmp_path):
    with pytest.raises(RuntimeError, match=r"^Unable to open file for writing\.$"):
        save(tmp_path / "no-such-folder" / "grid.hf")


def test_corrupt_files_raise_and_keep_the_grid(tmp_path):
    clear_box_scene()
    before = export_vertices()
    good = tmp_path / "good.hf"
    save(good)
    data = good.read_bytes()
    bad = tmp_path / "bad.hf"

    bad.write_bytes(b"NotAGrid\n" + data[9:])
    with pytest.raises(RuntimeError, match=r"^Unknown file type\.$"):
        load(bad)

    rng = random.Random(11)
    for _ in range(40):
        cut = rng.randrange(len(data))
        bad.write_bytes(data[:cut])
        with pytest.raises(RuntimeError) as caught:
            load(bad)
        assert str(caught.value) in FILE_ERRORS
    assert export_vertices() == before
    os.remove(bad)
