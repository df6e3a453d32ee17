"""Where the editor, the Holloform module and the grid tool are, for the editor's tests."""

import os
import pathlib

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]
EDITOR = REPOSITORY / "editor"


def module_dir() -> pathlib.Path:
    return pathlib.Path(os.environ.get("HOLLOFORM_MODULE_DIR", REPOSITORY / "build" / "python"))


def grid_tool():
    path = os.environ.get("HOLLOFORM_GRID_TOOL", str(REPOSITORY / "build" / "tools" / "holloform-grid"))
    return path if os.access(path, os.X_OK) else None


def editor_environment(**extra) -> dict:
    """The environment for running the editor as a program."""
    environment = dict(os.environ)
    environment["PYTHONPATH"] = os.pathsep.join([str(module_dir()), environment.get("PYTHONPATH", "")])
    environment.update(extra)
    return environment
