"""The editor's command line."""

import argparse
from dataclasses import dataclass
from typing import Optional, Tuple

MIN_LEVELS = 2
MAX_LEVELS = 8
DEFAULT_SIZE = (1024, 768)
LARGEST_SIDE = 16384
DEFAULT_SAVE_PATH = "sculpt.hf"
DEFAULT_OUT = "holloform-out"


@dataclass
class Options:
    file: Optional[str]
    levels: Optional[int]
    size: Tuple[int, int]
    headless: bool
    frames: Optional[int]
    out: str

    @property
    def save_path(self) -> str:
        """Where saves go: FILE, or sculpt.hf in the current folder."""
        return self.file if self.file else DEFAULT_SAVE_PATH


def _levels(text: str) -> int:
    try:
        levels = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if not MIN_LEVELS <= levels <= MAX_LEVELS:
        raise argparse.ArgumentTypeError(f"must be {MIN_LEVELS} to {MAX_LEVELS}, not {levels}")
    return levels


def _size(text: str) -> Tuple[int, int]:
    parts = text.lower().split("x")
    try:
        width, height = (int(part) for part in parts)
    except ValueError:
        raise argparse.ArgumentTypeError(f"expected WIDTHxHEIGHT such as 1024x768, not {text!r}") from None
    if not (1 <= width <= LARGEST_SIDE and 1 <= height <= LARGEST_SIDE):
        raise argparse.ArgumentTypeError(f"each side must be 1 to {LARGEST_SIDE} pixels, not {text!r}")
    return width, height


def _frames(text: str) -> int:
    try:
        frames = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if frames < 1:
        raise argparse.ArgumentTypeError(f"must be at least 1, not {frames}")
    return frames


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(
        prog="holloform",
        description="Sculpt voxels in a window; without a display, render a scripted demo to pictures.")
    parser.add_argument("file", nargs="?", metavar="FILE",
                        help=f"grid file to load at start and to save to (default: {DEFAULT_SAVE_PATH})")
    parser.add_argument("--levels", type=_levels, metavar="N",
                        help=f"start on a new solid grid of N levels ({MIN_LEVELS} to {MAX_LEVELS}) "
                             "when no FILE is loaded")
    parser.add_argument("--size", type=_size, default=DEFAULT_SIZE, metavar="WxH",
                        help="window or picture size in pixels (default: 1024x768)")
    parser.add_argument("--headless", action="store_true",
                        help="run the demo without a window (the default when there is no display)")
    parser.add_argument("--frames", type=_frames, metavar="N",
                        help="window: quit after N frames; headless: let the surface settle for N frames")
    parser.add_argument("--out", default=DEFAULT_OUT, metavar="DIR",
                        help=f"headless: folder for the pictures, grid and OBJ file (default: {DEFAULT_OUT})")
    return parser


def parse_options(argv) -> Options:
    """Parses the arguments after the program name; exits with status 2 on bad ones."""
    namespace = _parser().parse_args(argv)
    return Options(file=namespace.file, levels=namespace.levels, size=namespace.size,
                   headless=namespace.headless, frames=namespace.frames, out=namespace.out)
