"""The popup menu on the middle mouse button: a short top level of submenus
(File, Brush, Display, Camera), so that every entry stays on the screen
wherever the menu opens. Its structure comes from the key table and is built
by a plain function; the GLUT part only shows it."""

from dataclasses import dataclass
from typing import Dict, List, Optional, Tuple

from . import keys
from .brushes import BRUSH_NAMES


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
    text = binding.text[0].upper() + binding.text[1:]
    if binding.command == "toggle_setting":
        text = f"[{'x' if state.toggles.get(binding.argument) else ' '}] {binding.text.replace('toggle ', '')}"
    elif binding.command == "toggle_fixed_box":
        text = f"[{'x' if state.box_fixed else ' '}] display box fixed"
    return f"{text}  ({binding.shown})"


def menu_structure(state: MenuState) -> List[Tuple[str, List[MenuEntry]]]:
    """(submenu title, entries) in menu order."""
    rows = list(keys.KEY_TABLE) + [keys.GROW_ENTRY, keys.SHRINK_ENTRY]
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
               for row in keys.KEY_TABLE if row.command == "toggle_setting"}
    return MenuState(session.brushes.index, toggles, bool(hf.query_bool(hf.BoolDisplayBoxStickOn)))


class GlutMenu:
    """The menu attached to the middle button; `refresh` renames the entries
    whose state changed. Keep the object alive as long as the menu exists."""

    def __init__(self, window):
        from OpenGL import GLUT

        self._glut = GLUT
        self._window = window
        self._entries: List[MenuEntry] = []
        self._menus: List[int] = []
        structure = menu_structure(menu_state(window.session))
        self._chosen = self._on_chosen  # GLUT keeps only a pointer to it
        for _, entries in structure:
            self._menus.append(GLUT.glutCreateMenu(self._chosen))
            for entry in entries:
                GLUT.glutAddMenuEntry(entry.label.encode("latin-1"), len(self._entries))
                self._entries.append(entry)
        GLUT.glutCreateMenu(self._chosen)
        for (title, _), submenu in zip(structure, self._menus):
            GLUT.glutAddSubMenu(title.encode("latin-1"), submenu)
        GLUT.glutAttachMenu(GLUT.GLUT_MIDDLE_BUTTON)

    def _on_chosen(self, value):
        if 0 <= value < len(self._entries):
            entry = self._entries[value]
            self._window.guarded(self._window.run_command, entry.command, entry.argument)
        return 0

    def refresh(self) -> None:
        structure = menu_state(self._window.session)
        value = 0
        current = self._glut.glutGetMenu()
        for submenu, (_, entries) in zip(self._menus, menu_structure(structure)):
            self._glut.glutSetMenu(submenu)
            for position, entry in enumerate(entries, start=1):
                if entry.label != self._entries[value].label:
                    self._glut.glutChangeToMenuEntry(position, entry.label.encode("latin-1"), value)
                    self._entries[value] = entry
                value += 1
        if current:
            self._glut.glutSetMenu(current)
