"""File errors as a script sees them. Saving and loading through the module,
the grid kept after a failed load and a missing file's reason are checked by
the editor's tests on the real module; which error each damaged file gives, by the library's."""

import errno
import os

import pytest

import Holloform


def test_file_errors_carry_the_system_reason(tmp_path):
    """The message stays the library's; errno and strerror say why, or are None."""
    cases = [
        (Holloform.ActionSave, tmp_path / "no-such-folder" / "grid.hf", "Unable to open file for writing.",
         errno.ENOENT),
        (Holloform.ActionLoad, tmp_path, "Unable to open named file.", errno.EISDIR),
    ]
    if os.access("/dev/full", os.W_OK):
        cases.append((Holloform.ActionSave, "/dev/full", "output failed.", errno.ENOSPC))
    (tmp_path / "short.hf").write_bytes(b"Holloform\n")
    cases.append((Holloform.ActionLoad, tmp_path / "short.hf", "Input failed.", None))
    for action, path, message, number in cases:
        Holloform.set_string(Holloform.StringSavePath, str(path))
        with pytest.raises(RuntimeError) as caught:
            Holloform.do_action(action)
        error = caught.value
        assert (str(error), error.errno) == (message, number), path
        assert error.strerror == (os.strerror(number) if number else None)
