"""Saving and loading grids from a script, and the errors it sees."""

import errno
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


def test_file_errors_carry_the_system_reason(tmp_path):
    """The message stays the library's; errno and strerror say why, or are None."""
    cases = [
        (Holloform.ActionSave, tmp_path / "no-such-folder" / "grid.hf", "Unable to open file for writing.",
         errno.ENOENT),
        (Holloform.ActionLoad, tmp_path / "missing.hf", "Unable to open named file.", errno.ENOENT),
        (Holloform.ActionLoad, tmp_path, "Unable to open named file.", errno.EISDIR),
    ]
    if os.access("/dev/full", os.W_OK):
        cases.append((Holloform.ActionSave, "/dev/full", "output failed.", errno.ENOSPC))
    (tmp_path / "short.hf").write_bytes(b"Holloform\n")
    cases.append((Holloform.ActionLoad, tmp_path / "short.hf", "Input failed.", None))
    for action, path, message, number in cases:
        with pytest.raises(RuntimeError) as caught:
            file_action(action, path)
        error = caught.value
        assert (str(error), error.errno) == (message, number), path
        assert error.strerror == (os.strerror(number) if number else None)
