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


def export_vertices():
    vertices = []
    export_with(lambda x, y, z: vertices.append((x, y, z)))
    return vertices


def test_a_long_export_sends_every_wall_square_as_python_floats():
    # Which squares the export holds is the library's own test; here they all
    # arrive, as floats, in the box turned a quarter about x: (X, -Z, Y).
    vertices = export_vertices()
    assert len(vertices) == 4 * SQUARES
    assert all(type(value) is float for vertex in vertices for value in vertex)
    low, high = -BOX / 2, BOX / 2 + 1
    extents = [(min(axis), max(axis)) for axis in zip(*vertices)]
    assert extents == [(low, high), (-high, -low), (low, high)]


@pytest.mark.parametrize("error_type", [ValueError, KeyboardInterrupt])
def test_the_first_error_stops_the_export_and_is_raised(error_type):
    for stop in (1, 2, random.Random(5).randrange(3, 4 * SQUARES)):
        calls = []
        raised = error_type("stop at %d" % stop)

        def receiver(x, y, z):
            calls.append((x, y, z))
            if len(calls) >= stop:
                raise raised

        with pytest.raises(error_type) as caught:
            export_with(receiver)
        assert caught.value is raised
        assert len(calls) == stop
    # Nothing is left pending: the module and the interpreter go on normally.
    assert sys.exc_info() == (None, None, None)
    assert len(export_vertices()) == 4 * SQUARES


def test_a_callable_may_replace_itself_during_the_export():
    after = []

    class ReplacesItself:
        calls = 0

        def __call__(self, x, y, z):
            ReplacesItself.calls += 1
            Holloform.set_vertex3_func(lambda *corner: after.append(corner))

    replacer = ReplacesItself()
    gone = weakref.ref(replacer)
    Holloform.set_vertex3_func(replacer)
    del replacer  # the module's reference is now the only one
    Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)
    assert ReplacesItself.calls == 1
    assert len(after) == 4 * SQUARES - 1
    gc.collect()
    assert gone() is None


def test_the_callback_cannot_change_the_world_it_is_exporting():
    calls = []

    def renews_the_grid(*corner):
        calls.append(corner)
        Holloform.do_action(Holloform.ActionNewSolidGrid)

    with pytest.raises(RuntimeError, match="do_action cannot be called while"):
        export_with(renews_the_grid)
    assert len(calls) == 1
    assert len(export_vertices()) == 4 * SQUARES  # still the clear grid


def test_callables_and_exports_keep_no_references_and_non_callables_change_nothing():
    result, first_calls = object(), []

    def first(*corner):
        first_calls.append(corner)
        return result

    baseline = sys.getrefcount(first)
    Holloform.set_vertex3_func(first)
    assert sys.getrefcount(first) == baseline + 1
    export_with(lambda *corner: result)  # also warms up whatever the export caches
    assert sys.getrefcount(first) == baseline
    for value in (5, None, "f"):
        with pytest.raises(TypeError, match="^Need a callable object!$"):
            Holloform.set_vertex3_func(value)
    results_before = sys.getrefcount(result)
    gc.collect()
    blocks_before = sys.getallocatedblocks()
    for _ in range(3):
        export_with(lambda *corner: result)
    gc.collect()
    assert sys.getrefcount(result) == results_before and first_calls == []
    # A leaked argument tuple (or its floats) per vertex would be over a
    # hundred thousand blocks. (With PYTHONMALLOC=malloc no blocks are
    # counted; the leak checker of the sanitizer build covers that case.)
    assert sys.getallocatedblocks() - blocks_before < 1000
