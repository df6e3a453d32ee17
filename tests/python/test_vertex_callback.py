"""Exported vertices reaching a Python callable."""

import gc
import random
import sys
import weakref

import pytest

import Holloform

BOX = 40  # the display box spans 41 voxels, both bounds inclusive
SQUARES = 6 * (BOX + 1) ** 2


@pytest.fixture(autouse=True)
def clear_box_scene():
    """A clear grid, a 40-voxel display box around the focus that follows the
    camera, and solid space outside the box: the export then sends the inward
    faces of the box's six walls."""
    Holloform.set_int(Holloform.IntGridLevels, 3)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    for setting in (Holloform.IntDisplayBoxX, Holloform.IntDisplayBoxY, Holloform.IntDisplayBoxZ):
        Holloform.set_int(setting, BOX)
    Holloform.do_action(Holloform.ActionUpdateDisplayBox)
    Holloform.set_bool(Holloform.BoolDisplayBoxStickOn, 0)
    Holloform.set_bool(Holloform.BoolD_OutsideSolid, 1)
    Holloform.set_float(Holloform.FloatExportBoxMaxDim, float(BOX))


def export_with(callable_):
    Holloform.set_vertex3_func(callable_)
    Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)


@pytest.mark.parametrize("error_type", [ValueError, KeyboardInterrupt])
def test_the_first_error_stops_the_export_and_is_raised_and_the_world_stays(error_type):
    for stop in (1, 2, random.Random(5).randrange(3, 4 * SQUARES)):
        calls, raised = [], error_type(f"stop at {stop}")

        def receiver(*corner):
            calls.append(corner)
            if len(calls) >= stop:
                raise raised

        with pytest.raises(error_type) as caught:
            export_with(receiver)
        assert caught.value is raised and len(calls) == stop
    # The callback cannot change the world it is exporting, but may change settings.
    for name, call in [("do_action", lambda: Holloform.do_action(Holloform.ActionNewSolidGrid)),
                       ("display", Holloform.display), ("key", lambda: Holloform.key(32, 1))]:
        with pytest.raises(RuntimeError, match=f"^Holloform::{name} cannot be called while"):
            export_with(lambda *corner: Holloform.set_int(Holloform.IntDisplayBoxY, BOX) or call())
    # Nothing is left pending, and the grid is still the clear one: every wall
    # square arrives, in the box turned a quarter about x: (X, -Z, Y).
    vertices, low, high = [], -BOX / 2, BOX / 2 + 1
    export_with(lambda x, y, z: vertices.append((x, y, z)))
    assert sys.exc_info() == (None, None, None) and len(vertices) == 4 * SQUARES
    assert [(min(axis), max(axis)) for axis in zip(*vertices)] == [(low, high), (-high, -low), (low, high)]


def test_the_module_holds_one_reference_released_on_replacement_and_exports_keep_none():
    first_calls, after, result = [], [], object()

    def first(*corner):
        first_calls.append(corner)

    class ReplacesItself:
        def __call__(self, *corner):
            Holloform.set_vertex3_func(lambda *corner: after.append(1) or result)

    baseline = sys.getrefcount(first)
    Holloform.set_vertex3_func(first)
    assert sys.getrefcount(first) == baseline + 1
    for value in (5, None, "f"):
        with pytest.raises(TypeError, match="^Need a callable object!$"):
            Holloform.set_vertex3_func(value)
    # A callable may replace itself during the export, even when the module
    # holds its last reference.
    replacer = ReplacesItself()
    gone = weakref.ref(replacer)
    Holloform.set_vertex3_func(replacer)
    del replacer
    assert sys.getrefcount(first) == baseline
    Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
    gc.collect()
    assert gone() is None and len(after) == 4 * SQUARES - 1 and first_calls == []

    results_before, blocks_before = sys.getrefcount(result), sys.getallocatedblocks()
    for _ in range(3):
        Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
    gc.collect()
    assert sys.getrefcount(result) == results_before
    # A leaked argument tuple (or its floats) per vertex would be over a
    # hundred thousand blocks. (With PYTHONMALLOC=malloc no blocks are
    # counted; the leak checker of the sanitizer build covers that case.)
    assert sys.getallocatedblocks() - blocks_before < 1000
