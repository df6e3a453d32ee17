"""The text of the status line at the bottom of the window, and the reasons
the editor gives when a stroke changed nothing."""

from dataclasses import dataclass
from typing import Optional, Sequence

# Brushes (cycle order) whose voxels cannot support each other on every
# axis: on their own, in free space, they fall away.
SELF_SUPPORTING_BRUSHES = {0, 2, 7}  # the two cubes and the bar


@dataclass
class StatusFields:
    brush: str
    box: Sequence[int]  # the display box in force: x0, y0, z0, x1, y1, z1
    box_fixed: bool
    focus: Sequence[int]  # the focus voxel
    focus_distance: float
    unsaved: bool
    message: str = ""


def inside(box, voxel) -> bool:
    return all(box[axis] <= voxel[axis] <= box[axis + 3] for axis in range(3))


def in_safe_range(voxel, side: int) -> bool:
    return all(2 <= v <= side - 3 for v in voxel)


def status_line(fields: StatusFields, limit: Optional[int] = None) -> str:
    """The status line; longer than `limit` characters, in a shorter form."""
    for short in (False, True):
        box = fields.box
        size = "x".join(str(box[axis + 3] - box[axis] + 1) for axis in range(3))
        depth = "d{:.0f}" if short else "depth {:.0f}"
        focus = ("focus {} {} {} " + depth).format(*fields.focus, fields.focus_distance)
        if not inside(box, fields.focus):
            focus += " OUTSIDE" if short else " OUTSIDE THE BOX"
        parts = [fields.brush if short else f"brush {fields.brush}",
                 f"box {size} {'fixed' if fields.box_fixed else 'following'}", focus]
        if fields.unsaved:
            parts.append("unsaved*")
        if fields.message:
            parts.append(fields.message)
        line = " | ".join(parts)
        if limit is None or len(line) <= limit:
            break
    return line


def unchanged_reason(adding: bool, brush_index: int, focus, side: int) -> str:
    """Why a stroke changed no voxel, as far as the editor can tell."""
    if not in_safe_range(focus, side):
        return f"focus outside the safe range 2..{side - 3}"
    if not adding:
        return "the voxels were already clear"
    if brush_index not in SELF_SUPPORTING_BRUSHES:
        return "unsupported voxels fall away"
    return "the voxels were already solid"


def stroke_message(changed: bool, adding: bool, brush_index: int, focus, side: int,
                   box: Optional[Sequence[int]] = None) -> str:
    """The status message after a stroke: empty when it changed voxels that
    show, else what happened."""
    if not changed:
        return "nothing changed: " + unchanged_reason(adding, brush_index, focus, side)
    if box is not None and not inside(box, focus):
        return "changed voxels outside the box (Home shows them)"
    return ""
