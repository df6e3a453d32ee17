"""Makes the editor's package importable and checks that the module is built."""

import pathlib
import sys

import pytest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from editor_paths import EDITOR, module_dir  # noqa: E402

sys.path.insert(0, str(EDITOR))


@pytest.fixture(scope="session")
def module_path() -> pathlib.Path:
    path = module_dir()
    if not list(path.glob("Holloform*.so")):
        pytest.fail(f"the Holloform module is not built in {path} (set HOLLOFORM_MODULE_DIR)")
    return path


@pytest.fixture(autouse=True)
def private_cache(tmp_path, monkeypatch):
    """The user's cache folder, where the editor's fallback autosave goes."""
    cache = tmp_path / "cache"
    monkeypatch.setenv("XDG_CACHE_HOME", str(cache))
    return cache
