"""Frames per second, measured over about a second at a time."""

import time


class FrameRate:
    def __init__(self, clock=time.monotonic, period: float = 1.0):
        self._clock = clock
        self._period = period
        self._start = clock()
        self._frames = 0
        self.value = 0.0

    def tick(self) -> bool:
        """Counts one frame; True when a new value was measured."""
        self._frames += 1
        now = self._clock()
        elapsed = now - self._start
        if elapsed < self._period:
            return False
        self.value = self._frames / elapsed
        self._start = now
        self._frames = 0
        return True
