"""Export of the display box as a Wavefront OBJ file of quads.

The library sends the squares of the display box one corner at a time, four
corners per square, to a Python callable. The collector numbers each distinct
corner once, so neighbouring squares share their corners in the file.
"""

import struct

from .files import write_file_atomically


def float32_text(value: float) -> str:
    """The shortest decimal text that reads back to the same 32-bit float;
    negative zero is written as 0."""
    if value == 0.0:
        return "0"
    target = struct.pack("<f", value)
    for digits in range(1, 10):
        text = f"{value:.{digits}g}"
        if struct.pack("<f", float(text)) == target:
            return text
    return repr(value)


class QuadCollector:
    """Receives exported vertices (x, y, z) and groups them into quads."""

    def __init__(self):
        self.vertices = []  # distinct corners in the order of first use
        self.quads = []  # four 0-based vertex numbers each
        self._numbers = {}
        self._pending = []

    def __call__(self, x: float, y: float, z: float) -> None:
        # Adding 0.0 turns -0.0 into 0.0, so both name the same corner.
        corner = (x + 0.0, y + 0.0, z + 0.0)
        number = self._numbers.get(corner)
        if number is None:
            number = len(self.vertices)
            self._numbers[corner] = number
            self.vertices.append(corner)
        self._pending.append(number)
        if len(self._pending) == 4:
            self.quads.append(tuple(self._pending))
            self._pending = []

    def obj_text(self) -> str:
        """The OBJ file: a comment, the corners, then one face per quad."""
        lines = [f"# Holloform display box: {len(self.vertices)} vertices, {len(self.quads)} quads"]
        lines.extend("v " + " ".join(float32_text(c) for c in corner) for corner in self.vertices)
        lines.extend("f " + " ".join(str(n + 1) for n in quad) for quad in self.quads)
        return "\n".join(lines) + "\n"


def _ignore_vertex(x, y, z):
    pass


def export_display_box(hf, path: str) -> QuadCollector:
    """Exports the display box through the vertex callback and writes `path`.
    Raises OSError when the file cannot be written."""
    collector = QuadCollector()
    hf.set_vertex3_func(collector)
    try:
        hf.do_action(hf.ActionExportDisplayBoxAsSquares)
    finally:
        # The module keeps the last callable alive; let it drop the corners.
        hf.set_vertex3_func(_ignore_vertex)
    write_file_atomically(path, collector.obj_text().encode("ascii"))
    return collector
