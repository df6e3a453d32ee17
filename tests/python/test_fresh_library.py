"""What a newly loaded library does: each case runs a fresh interpreter, so
that the library's process-wide state starts as at load."""

import os
import subprocess
import sys

import pytest

EXPORT = """
calls = []
Holloform.set_vertex3_func(lambda *corner: calls.append(corner))
Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
print(len(calls) > 0, len(calls) % 4, {type(v) for c in calls for v in c} == {float})
"""


@pytest.mark.parametrize("script, printed", [
    # A first set, which makes the editor with its defaults, is kept.
    ("Holloform.set_int(Holloform.IntGridLevels, 5)\nprint(Holloform.query_int(Holloform.IntGridLevels))", ["5"]),
    # A callable set before the editor exists receives the export.
    (EXPORT, ["True", "0", "True"]),
])
def test_first_calls(script, printed):
    done = subprocess.run([sys.executable, "-c", "import Holloform\n" + script], capture_output=True, text=True,
                          env=dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path)), timeout=120)
    assert done.returncode == 0, done.stderr
    assert done.stdout.split() == printed
