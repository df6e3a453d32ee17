"""Finds the built Holloform module and runs scripts in fresh interpreters.

The module directory comes from HOLLOFORM_MODULE_DIR (ctest sets it), else
build/python of the checkout.
"""

import os
import subprocess
import sys
import textwrap

import pytest

MODULE_DIR = os.environ.get(
    "HOLLOFORM_MODULE_DIR",
    os.path.join(os.path.dirname(__file__), "..", "..", "build", "python"),
)
sys.path.insert(0, MODULE_DIR)


def run_fresh(script):
    """Runs `script` in a new interpreter that imports Holloform first, so
    that the library's process-wide state starts as at load. Returns what the
    script printed; fails the test when it did not exit cleanly."""
    env = dict(os.environ, PYTHONPATH=MODULE_DIR)
    code = "import Holloform\n" + textwrap.dedent(script)
    done = subprocess.run(
        [sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=120
    )
    assert done.returncode == 0, done.stderr
    return done.stdout


@pytest.fixture
def fresh():
    return run_fresh
