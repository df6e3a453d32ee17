"""Shared set-ups for the tests that export through the module."""

import Holloform

# Display box size used by the export scenes: 40 voxels across, so the box
# spans 41 voxels (both bounds inclusive).
BOX = 40


def clear_box_scene(max_dim=float(BOX)):
    """A clear grid, a 40-voxel display box around the focus that follows
    the camera, and solid space outside the box: the export then sends the
    inward faces of the box's six walls."""
    Holloform.set_int(Holloform.IntGridLevels, 3)
    Holloform.do_action(Holloform.ActionNewClearGrid)
    for setting in (Holloform.IntDisplayBoxX, Holloform.IntDisplayBoxY, Holloform.IntDisplayBoxZ):
        Holloform.set_int(setting, BOX)
    Holloform.do_action(Holloform.ActionUpdateDisplayBox)
    Holloform.set_bool(Holloform.BoolDisplayBoxStickOn, 0)
    Holloform.set_bool(Holloform.BoolD_OutsideSolid, 1)
    Holloform.set_float(Holloform.FloatExportBoxMaxDim, max_dim)


def export_with(callable_):
    Holloform.set_vertex3_func(callable_)
    Holloform.do_action(Holloform.ActionExportDisplayBoxAsSquares)


def export_vertices():
    vertices = []
    export_with(lambda x, y, z: vertices.append((x, y, z)))
    return vertices
