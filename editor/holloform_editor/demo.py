"""A scripted sculpting session, made of the same library calls a person's input makes.

The library moves the camera by the real time between frames. The demo sets
FloatMovementScaling before each frame so that every frame moves as far as
NOMINAL_STEP seconds would: the strokes come out the same on a fast and a slow
machine, and the demo runs as fast as the frames can be drawn.
"""

import contextlib
import math
import time

LEFT_BUTTON, RIGHT_BUTTON = 0, 2
PRESSED, RELEASED = 0, 1
NOMINAL_STEP = 0.05
# Frames are at least this far apart, so the clock's resolution stays small
# against the time between frames.
SHORTEST_INTERVAL = 0.01
# The library's tools never move by more than half a second's worth per frame.
LONGEST_STEP = 0.5
# Voxels moved per frame of NOMINAL_STEP at a movement amount of 1 (the tools
# scale amounts by 20 per second): sideways under the move tool, and forward
# under the move tool or up under the roll chord.
SIDEWAYS_PER_AMOUNT = 3.0
VERTICAL_PER_AMOUNT = 4.0
# The look tool turns by this many radians per frame at amount 1.
YAW_PER_AMOUNT = 0.06981316953897476


def pointer_position(amount: float, extent: int) -> int:
    """The pointer coordinate at which the pointer-offset movement mode yields
    `amount` (-1 to 1) across a window side of `extent` pixels; 0 is the centre."""
    amount = max(-1.0, min(1.0, amount))
    a = extent + 1.0
    centre = a * 0.5
    dead_zone = (a - centre) * 0.1
    high, low = centre + dead_zone, centre - dead_zone
    if amount > 0:
        position = high + amount * (a - high)
    elif amount < 0:
        position = low + amount * (a - high)
    else:
        position = centre
    return int(round(position))


class DemoDriver:
    """Feeds key, button and pointer events and paced frames to the library."""

    def __init__(self, hf, session, width: int, height: int, clock=time.monotonic, sleep=time.sleep):
        self.hf = hf
        self.session = session
        self.width, self.height = width, height
        self.frames_shown = 0
        self._clock = clock
        self._sleep = sleep
        self._last = None

    def frames(self, count: int) -> None:
        for _ in range(count):
            self._frame()

    def _frame(self) -> None:
        if self._last is not None:
            wait = self._last + SHORTEST_INTERVAL - self._clock()
            if wait > 0:
                self._sleep(wait)
            elapsed = min(self._clock() - self._last, LONGEST_STEP)
            scaling = NOMINAL_STEP / elapsed if elapsed > 0 else 1.0
            self.hf.set_float(self.hf.FloatMovementScaling, scaling)
        self._last = self._clock()
        self.hf.display()
        self.frames_shown += 1

    def point(self, horizontal: float = 0.0, vertical: float = 0.0) -> None:
        """Puts the pointer where the movement amounts are (horizontal, vertical);
        positive is right and down."""
        self.hf.motion(pointer_position(horizontal, self.width), pointer_position(vertical, self.height))

    @contextlib.contextmanager
    def holding_key(self, character: str):
        self.hf.key(ord(character), 1)
        try:
            yield
        finally:
            self.hf.key(ord(character), 0)

    @contextlib.contextmanager
    def holding_button(self, button: int):
        self.hf.button(button, PRESSED)
        self.session.note_button(button, True)
        try:
            yield
        finally:
            self.hf.button(button, RELEASED)

    def finish(self) -> None:
        self.point()
        self.hf.set_float(self.hf.FloatMovementScaling, 1.0)


def _slide(driver: DemoDriver, right: float = 0.0, up: float = 0.0, voxels: int = 0) -> None:
    """Moves the eye (and the focus with it) by one voxel per frame: sideways
    with the move tool (v), up and down with the roll chord (v + f)."""
    with driver.holding_key("v"):
        if up:
            with driver.holding_key("f"):
                driver.point(vertical=up / VERTICAL_PER_AMOUNT)
                driver.frames(voxels)
        else:
            driver.point(horizontal=right / SIDEWAYS_PER_AMOUNT)
            driver.frames(voxels)
        driver.point()


def _turn(driver: DemoDriver, degrees: float, frames: int) -> None:
    """Turns the view about its own vertical axis with the look tool (f)."""
    amount = math.radians(degrees) / (YAW_PER_AMOUNT * frames)
    with driver.holding_key("f"):
        driver.point(horizontal=amount)
        driver.frames(frames)
        driver.point()


def _stroke(driver: DemoDriver, button: int, **slide) -> None:
    with driver.holding_button(button):
        _slide(driver, **slide)


def sculpt_arch(driver: DemoDriver) -> None:
    """On a clear grid: an arch of two pillars and a beam drawn with the 3x3x3
    cube, with a notch carved into the beam by the 2x2x2 cube. The view is first
    turned to look along a world axis, so the strokes follow the voxel rows.
    Positions below are (right, up) from the start focus, in voxels."""
    session = driver.session
    driver.frames(1)
    _turn(driver, 45.0, 12)
    session.toggle_fixed_box()  # the display box stays around the start
    session.next_brush()
    session.next_brush()  # the 3x3x3 cube
    _slide(driver, right=-1, voxels=9)
    _slide(driver, up=-1, voxels=9)  # (-9, -9)
    _stroke(driver, LEFT_BUTTON, up=1, voxels=17)  # left pillar to (-9, 8)
    _stroke(driver, LEFT_BUTTON, right=1, voxels=18)  # beam to (9, 8)
    _stroke(driver, LEFT_BUTTON, up=-1, voxels=17)  # right pillar to (9, -9)
    for _ in range(6):
        session.next_brush()  # round to the 2x2x2 cube, the first brush
    _slide(driver, up=1, voxels=18)
    _slide(driver, right=-1, voxels=9)  # (0, 9), the top of the beam
    with driver.holding_button(RIGHT_BUTTON):  # carve a notch
        driver.frames(1)
    _slide(driver, up=-1, voxels=9)  # (0, 0), the middle of the arch


def frame_the_sculpture(driver: DemoDriver) -> None:
    """Steps back from the arch and turns about it for a three-quarter view
    from above."""
    with driver.holding_key("v"):  # back by 32 voxels
        driver.point(vertical=-1.0)
        driver.frames(8)
    driver.point()
    with driver.holding_key("a"):  # the far point back onto the arch, as pivot
        driver.point(vertical=1.0)
        driver.frames(8)
    driver.point()
    with driver.holding_key("x"):  # orbit: turn about the arch and tilt down
        driver.point(horizontal=0.7, vertical=0.5)
        driver.frames(8)
    with driver.holding_key("z"):  # the focus, and the brush outline, onto the arch
        driver.point(vertical=1.0)
        driver.frames(8)
    driver.finish()
