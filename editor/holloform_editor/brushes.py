"""The brush cycle as the host tracks it (the library does not report its brush)."""

BRUSH_NAMES = ("cube 2x2x2", "voxel", "cube 3x3x3", "cross", "row x", "row y", "row z", "bar x")


class BrushCycle:
    """Follows ActionChangeGridAffector: each action steps to the next brush,
    from the last back to the first."""

    def __init__(self):
        self.index = 0

    @property
    def name(self) -> str:
        return BRUSH_NAMES[self.index]

    def advance(self) -> None:
        self.index = (self.index + 1) % len(BRUSH_NAMES)
