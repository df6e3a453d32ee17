"""The menu on the middle mouse button: a short top level of submenus (File,
Models, Brush, Display, Camera) whose entries come from the key table.

The menu is drawn by the editor itself rather than by GLUT, whose popup
menus opened in the lower half of the window are moved off the screen. Its
structure and its layout are plain functions: every box is placed inside the
window wherever the menu opens.
"""

from dataclasses import dataclass
from typing import Dict, List, Optional, Tuple

from . import keys
from .brushes import BRUSH_NAMES

ROW_HEIGHT = 18
CHARACTER_WIDTH = 9
PADDING = 6


@dataclass(frozen=True)
class MenuEntry:
    label: str
    command: str
    argument: Optional[str] = None


@dataclass
class MenuState:
    """What the labels show: the current brush and each toggle's value."""
    brush_index: int
    toggles: Dict[str, bool]
    box_fixed: bool


def _label(binding: keys.Binding, state: MenuState) -> str:
    if binding.command == "toggle_setting":
        text = f"[{'x' if state.toggles.get(binding.argument) else ' '}] {binding.text.replace('toggle ', '')}"
    elif binding.command == "toggle_fixed_box":
        text = f"[{'x' if state.box_fixed else ' '}] display box fixed"
    else:
        text = binding.text[0].upper() + binding.text[1:]
    return text if binding.shown == keys.MENU_ONLY else f"{text}  ({binding.shown})"


def menu_structure(state: MenuState) -> List[Tuple[str, List[MenuEntry]]]:
    """(submenu title, entries) in menu order."""
    rows = keys.KEY_TABLE + keys.MENU_ONLY_ROWS
    structure = []
    for title in keys.MENUS:
        entries = [MenuEntry(_label(row, state), row.command, row.argument) for row in rows if row.menu == title]
        if title == keys.BRUSH_MENU:
            entries += [MenuEntry(f"{'>' if index == state.brush_index else ' '} {name}", "choose_brush",
                                  str(index)) for index, name in enumerate(BRUSH_NAMES)]
        structure.append((title, entries))
    return structure


def menu_state(session) -> MenuState:
    hf = session.hf
    toggles = {row.argument: bool(hf.query_bool(getattr(hf, row.argument)))
               for row in keys.KEY_TABLE + keys.MENU_ONLY_ROWS if row.command == "toggle_setting"}
    return MenuState(session.brushes.index, toggles, bool(hf.query_bool(hf.BoolDisplayBoxStickOn)))


# Boxes are (x0, y0, x1, y1) in window pixels, origin at the top left.

def _box_of(lines: List[str], x: int, y: int):
    width = max(len(line) for line in lines) * CHARACTER_WIDTH + 2 * PADDING
    return (x, y, x + width, y + len(lines) * ROW_HEIGHT)


def _fit(low: int, size: int, limit: int) -> int:
    """The start of a span of `size` moved (as little as needed) into 0 .. limit."""
    return max(0, min(low, limit - size))


def top_box(structure, anchor, window):
    """The box of the titles at the pointer, moved in so that the widest
    submenu finds room on its right or its left."""
    titles = [title + "  >" for title, _ in structure]
    x0, y0, x1, y1 = _box_of(titles, 0, 0)
    width, height = x1 - x0, y1 - y0
    widest = max(_box_of([entry.label for entry in entries], 0, 0)[2] for _, entries in structure)
    x = _fit(anchor[0], width, window[0])
    if x + width + widest > window[0] and x - widest < 0:
        x = max(0, window[0] - width - widest)
    y = _fit(anchor[1], height, window[1])
    return (x, y, x + width, y + height)


def submenu_box(structure, index, anchor, window):
    """The box of submenu `index`: right of the top level (left when there is
    no room), level with its title, moved up as needed to fit the window."""
    top = top_box(structure, anchor, window)
    x0, y0, x1, y1 = _box_of([entry.label for entry in structure[index][1]], 0, 0)
    width, height = x1 - x0, y1 - y0
    x = top[2] if top[2] + width <= window[0] else max(0, top[0] - width)
    y = _fit(top[1] + index * ROW_HEIGHT, height, window[1])
    return (x, y, x + width, y + height)


def _row_at(box, count, point) -> Optional[int]:
    x, y = point
    if not (box[0] <= x < box[2] and box[1] <= y < box[3]):
        return None
    row = (y - box[1]) // ROW_HEIGHT
    return row if row < count else None


class Menu:
    """The open menu: where it opened, which submenu is open and which entry
    the pointer is over."""

    def __init__(self):
        self.structure = None
        self.anchor = (0, 0)
        self.window = (1, 1)
        self.submenu = None
        self.hovered = None

    @property
    def is_open(self) -> bool:
        return self.structure is not None

    def open(self, structure, anchor, window) -> None:
        self.structure, self.anchor, self.window = structure, anchor, window
        self.submenu, self.hovered = None, None

    def close(self) -> None:
        self.structure = None

    def point(self, position) -> None:
        """The pointer moved: over a title it opens that submenu; over an
        entry it marks it."""
        row = _row_at(top_box(self.structure, self.anchor, self.window), len(self.structure), position)
        if row is not None:
            self.submenu, self.hovered = row, None
        elif self.submenu is not None:
            self.hovered = self._entry_at(position)

    def click(self, position) -> Optional[MenuEntry]:
        """A click: the entry under it (the menu closes), or None; a click
        outside the menu closes it, one on a title opens that submenu."""
        self.point(position)
        if _row_at(top_box(self.structure, self.anchor, self.window), len(self.structure), position) is not None:
            return None
        entry = self._entry_at(position)
        self.close()
        return entry

    def _entry_at(self, position) -> Optional[MenuEntry]:
        if self.submenu is None:
            return None
        entries = self.structure[self.submenu][1]
        row = _row_at(submenu_box(self.structure, self.submenu, self.anchor, self.window), len(entries), position)
        return None if row is None else entries[row]

    def panels(self):
        """(box, lines, highlighted row) of each box to draw, top level first."""
        titles = [title + "  >" for title, _ in self.structure]
        panels = [(top_box(self.structure, self.anchor, self.window), titles, self.submenu)]
        if self.submenu is not None:
            entries = self.structure[self.submenu][1]
            highlighted = entries.index(self.hovered) if self.hovered in entries else None
            panels.append((submenu_box(self.structure, self.submenu, self.anchor, self.window),
                           [entry.label for entry in entries], highlighted))
        return panels
