"""Grid files on disk: atomic saves, the autosave beside a file, loads that report errors.

The library saves and loads through its string setting StringSavePath, which
holds at most 127 bytes. A save writes a temporary file in the target's folder
and renames it over the target only once it is complete, so a crash or a full
disk during a save never destroys the previous file.
"""

import contextlib
import itertools
import os
import stat
import tempfile

LIBRARY_PATH_LIMIT = 127
AUTOSAVE_SUFFIX = ".autosave"

_temporary_numbers = itertools.count(1)


class GridFileError(Exception):
    """A save or load that failed; the text says which file and why."""


def autosave_path(path: str) -> str:
    """The autosave file beside `path`: unsaved edits go there, never over `path`."""
    return path + AUTOSAVE_SUFFIX


def obj_path(save_path: str) -> str:
    """The OBJ export beside a grid file: sculpt.hf -> sculpt.obj."""
    stem, extension = os.path.splitext(save_path)
    return (stem if extension else save_path) + ".obj"


def fits_library(path: str) -> bool:
    """Whether the library's string setting can hold `path` unchanged."""
    try:
        return len(path.encode("utf-8")) <= LIBRARY_PATH_LIMIT
    except UnicodeEncodeError:
        return False


def _temporary_sibling(target: str) -> str:
    """A short, unused name in the target's folder for a file being written."""
    folder = os.path.dirname(target)
    return os.path.join(folder, f".holloform-{os.getpid()}-{next(_temporary_numbers)}.tmp")


@contextlib.contextmanager
def _library_name_for_writing(path: str):
    """A name by which the library reaches `path`: the path itself when it fits,
    else its (short) file name from inside its folder."""
    if fits_library(path):
        yield path
        return
    previous = os.getcwd()
    os.chdir(os.path.dirname(path))
    try:
        yield os.path.basename(path)
    finally:
        os.chdir(previous)


@contextlib.contextmanager
def _library_name_for_reading(path: str):
    """A name by which the library reaches `path`: the path itself when it fits,
    else a short link to it in a private temporary folder."""
    if fits_library(path):
        yield path
        return
    with tempfile.TemporaryDirectory(prefix="holloform-") as folder:
        link = os.path.join(folder, "grid.hf")
        os.symlink(os.path.abspath(path), link)
        yield link


def _flush_to_disk(path: str) -> None:
    descriptor = os.open(path, os.O_RDONLY)
    try:
        os.fsync(descriptor)
    finally:
        os.close(descriptor)


def _flush_folder(folder: str) -> None:
    with contextlib.suppress(OSError):
        _flush_to_disk(folder or ".")


def _keep_mode(temporary: str, target: str) -> None:
    """Gives the new file the permissions of the file it replaces, if any."""
    with contextlib.suppress(FileNotFoundError):
        os.chmod(temporary, stat.S_IMODE(os.stat(target).st_mode))


def _replace_atomically(temporary: str, target: str) -> None:
    _flush_to_disk(temporary)
    _keep_mode(temporary, target)
    os.replace(temporary, target)
    _flush_folder(os.path.dirname(target))


def save_grid(hf, path: str) -> None:
    """Saves the current grid to `path` (through a symbolic link, to its target).
    Raises GridFileError; the previous file is then untouched."""
    target = os.path.realpath(path)
    temporary = _temporary_sibling(target)
    try:
        with _library_name_for_writing(temporary) as name:
            hf.set_string(hf.StringSavePath, name)
            hf.do_action(hf.ActionSave)
        _replace_atomically(temporary, target)
    except RuntimeError as error:
        raise GridFileError(f"Could not save {path}: {error}") from None
    except OSError as error:
        raise GridFileError(f"Could not save {path}: {error.strerror or error}") from None
    finally:
        with contextlib.suppress(FileNotFoundError):
            os.remove(temporary)


def load_grid(hf, path: str) -> None:
    """Loads `path` and makes it the current grid. Raises GridFileError; the
    current grid is then unchanged."""
    try:
        with _library_name_for_reading(path) as name:
            hf.set_string(hf.StringSavePath, name)
            hf.do_action(hf.ActionLoad)
    except RuntimeError as error:
        raise GridFileError(f"Could not load {path}: {error}") from None
    except OSError as error:
        raise GridFileError(f"Could not load {path}: {error.strerror or error}") from None


def write_file_atomically(path: str, data: bytes) -> None:
    """Writes `data` to `path` through a temporary sibling, as save_grid does.
    Raises OSError."""
    target = os.path.realpath(path)
    temporary = _temporary_sibling(target)
    try:
        with open(temporary, "wb") as stream:
            stream.write(data)
        _replace_atomically(temporary, target)
    finally:
        with contextlib.suppress(FileNotFoundError):
            os.remove(temporary)
