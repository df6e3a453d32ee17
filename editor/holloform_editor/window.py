"""The editor window: GLUT events forwarded to the library, plus the host's keys.

GLUT's conventions are the library's: button state 0 is pressed and 1 is
released, and keys arrive as characters, presses and releases separately (key
repeat is off, so a release means the key went up).
"""

import time
import traceback

from OpenGL import GLUT

from . import camera, guides, help_overlay, keys
from .frame_rate import FrameRate
from .menu import Menu, menu_state, menu_structure
from .status import status_line

# Frames are paced to about 60 per second: enough for smooth motion while
# leaving the processor to the rest of the machine.
FRAME_INTERVAL = 1.0 / 60.0
WHEEL_UP, WHEEL_DOWN = 3, 4
ORBIT_PER_PIXEL = 0.01  # radians
LEFT_BUTTON, MIDDLE_BUTTON, RIGHT_BUTTON = 0, 1, 2


class EditorWindow:
    def __init__(self, hf, session, size, frame_limit=None):
        self.hf = hf
        self.session = session
        self.width, self.height = size
        self.frame_limit = frame_limit
        self.frames = 0
        self.show_help = True
        self.failed = False
        self._frame_rate = FrameRate()
        self._last_frame = time.monotonic()
        self._title = ""
        self.menu = Menu()
        self._drag = None  # (button, x, y) of an Alt-drag in progress
        self._ground = guides.GroundLevel(hf)
        self._screenshot_pending = False
        self._library_keys_down = set()  # library key codes pressed and not yet released

    def open(self) -> None:
        GLUT.glutInit([b"holloform"])
        GLUT.glutInitDisplayMode(GLUT.GLUT_DOUBLE | GLUT.GLUT_RGB | GLUT.GLUT_DEPTH)
        GLUT.glutInitWindowSize(self.width, self.height)
        GLUT.glutCreateWindow(b"Holloform")
        # Closing the window ends the main loop instead of the process, so
        # unsaved edits can still be written.
        GLUT.glutSetOption(GLUT.GLUT_ACTION_ON_WINDOW_CLOSE, GLUT.GLUT_ACTION_GLUTMAINLOOP_RETURNS)
        GLUT.glutIgnoreKeyRepeat(1)
        GLUT.glutDisplayFunc(self._wrap(self.on_display))
        GLUT.glutReshapeFunc(self._wrap(self.on_reshape))
        GLUT.glutMotionFunc(self._wrap(self.on_motion))
        GLUT.glutPassiveMotionFunc(self._wrap(self.on_motion))
        GLUT.glutMouseFunc(self._wrap(self.on_button))
        GLUT.glutKeyboardFunc(self._wrap(self.on_key_down))
        GLUT.glutKeyboardUpFunc(self._wrap(self.on_key_up))
        GLUT.glutSpecialFunc(self._wrap(self.on_special_down))
        GLUT.glutIdleFunc(self._wrap(self.on_idle))
        self.session.aspect = self.width / max(self.height, 1)

    def run(self) -> None:
        """Runs until the person quits, closes the window or the frame limit is reached."""
        GLUT.glutMainLoop()

    # Host commands.

    def quit(self) -> None:
        GLUT.glutLeaveMainLoop()

    def toggle_help(self) -> None:
        self.show_help = not self.show_help

    def screenshot(self) -> None:
        """Saves the next frame as PNG: it is read before the swap, after everything is drawn."""
        self._screenshot_pending = True

    def run_command(self, command: str, argument=None) -> None:
        """A command of the key table or the menu: the window's own, else the session's."""
        if hasattr(self, command):
            getattr(self, command)()
        else:
            self.session.run_command(command, argument)

    def guarded(self, handler, *arguments):
        """Runs an event handler. An error is printed and ends the main loop,
        so the edits are still autosaved; the exit status then tells of it."""
        try:
            return handler(*arguments)
        except KeyboardInterrupt:  # Ctrl+C in the terminal: quit as Esc does
            GLUT.glutLeaveMainLoop()
        except Exception:
            traceback.print_exc()
            self.failed = True
            GLUT.glutLeaveMainLoop()
        return None

    def _wrap(self, handler):
        return lambda *arguments: self.guarded(handler, *arguments)

    # Events.

    def on_display(self) -> None:
        self.hf.display()
        guides.draw_guides(self.hf, self._ground, self.width, self.height)
        if self.show_help:
            help_overlay.draw_help(self.width, self.height)
        status = status_line(self.session.status_fields(), help_overlay.status_characters(self.width))
        help_overlay.draw_status_line(self.width, self.height, status, hint=not self.show_help)
        if self.menu.is_open:
            help_overlay.draw_menu(self.width, self.height, self.menu.panels())
        if self._screenshot_pending:
            self._screenshot_pending = False
            self.session.save_screenshot(self.width, self.height)
        GLUT.glutSwapBuffers()
        self.frames += 1
        if self._frame_rate.tick() or not self._title:
            self._update_title()
        if self.frame_limit is not None and self.frames >= self.frame_limit:
            self.quit()

    def on_idle(self) -> None:
        wait = self._last_frame + FRAME_INTERVAL - time.monotonic()
        if wait > 0:
            time.sleep(wait)
        self._last_frame = time.monotonic()
        GLUT.glutPostRedisplay()

    def on_reshape(self, width: int, height: int) -> None:
        self.width, self.height = width, max(height, 1)
        self.session.aspect = self.width / self.height
        self.hf.reshape(0, 0, self.width, self.height)

    def on_motion(self, x: int, y: int) -> None:
        if self.menu.is_open:
            self.menu.point((x, y))
            return
        if self._drag is not None:
            self._drag_to(x, y)
        self.hf.motion(x, y)

    def on_button(self, button: int, state: int, x: int, y: int) -> None:
        pressed = state == GLUT.GLUT_DOWN
        if self.menu.is_open or (pressed and button == MIDDLE_BUTTON):
            self._menu_click(button, pressed, x, y)
            return
        if button in (WHEEL_UP, WHEEL_DOWN):
            if pressed:
                self.session.change_focus_depth(1 if button == WHEEL_UP else -1)
            return
        if self._drag is not None and button == self._drag[0]:
            if not pressed:
                self._drag = None
            return
        alt = GLUT.glutGetModifiers() & GLUT.GLUT_ACTIVE_ALT
        if pressed and alt and button in (LEFT_BUTTON, RIGHT_BUTTON):
            self._drag = (button, x, y)  # navigation only: the library never sees the button
            return
        self.hf.motion(x, y)
        self.hf.button(button, state)
        self.session.note_button(button, pressed)
        self._update_title()

    def on_key_down(self, key: bytes, x: int, y: int) -> None:
        character = key.decode("latin-1")
        name = self._event_name(character)
        if self.menu.is_open and name == keys.ESCAPE:
            self.menu.close()
            return
        binding = keys.binding_for_event(name)
        if binding is not None:
            self.run_command(binding.command, name if binding.command == "resize_key" else binding.argument)
        else:
            code = keys.library_key_code(character)
            self.hf.key(code, 1)
            self._library_keys_down.add(code)
            self.session.note_library_key(character, True)
        self._update_title()

    def on_key_up(self, key: bytes, x: int, y: int) -> None:
        # Only keys the library saw go down: the release of a host key such as
        # Ctrl+B can arrive as the plain letter, and would otherwise reach
        # the library's tools.
        code = keys.library_key_code(key.decode("latin-1"))
        if code in self._library_keys_down:
            self._library_keys_down.discard(code)
            self.hf.key(code, 0)

    def on_special_down(self, key: int, x: int, y: int) -> None:
        binding = keys.binding_for_event(self._event_name(key))
        if binding is not None:
            self.run_command(binding.command, binding.argument)
            self._update_title()

    # Helpers.

    @staticmethod
    def _event_name(key) -> str:
        modifiers = GLUT.glutGetModifiers()
        return keys.event_name(key, ctrl=bool(modifiers & GLUT.GLUT_ACTIVE_CTRL),
                               alt=bool(modifiers & GLUT.GLUT_ACTIVE_ALT),
                               shift=bool(modifiers & GLUT.GLUT_ACTIVE_SHIFT))

    def _drag_to(self, x: int, y: int) -> None:
        """Alt + left drag orbits about the focus point; Alt + right drag pans."""
        button, last_x, last_y = self._drag
        self._drag = (button, x, y)
        dx, dy = x - last_x, y - last_y
        matrix = self.hf.camera_matrix()
        distance = self.hf.focus_depth()[0]
        if button == LEFT_BUTTON:
            centre = camera.point_ahead(matrix, distance)
            matrix = camera.orbited(matrix, centre, -dx * ORBIT_PER_PIXEL, -dy * ORBIT_PER_PIXEL)
        else:
            # One pixel moves the view by one pixel's width at the focus.
            scale = 2.0 * distance * camera.tan_half_view() / max(self.height, 1)
            matrix = camera.panned(matrix, -dx * scale, dy * scale)
        self.hf.set_camera_matrix(matrix)

    def _menu_click(self, button: int, pressed: bool, x: int, y: int) -> None:
        """The middle button opens the menu at the pointer; while it is open,
        a press chooses the entry under the pointer or closes the menu."""
        if not self.menu.is_open:
            self.menu.open(menu_structure(menu_state(self.session)), (x, y), (self.width, self.height))
        elif pressed and button not in (WHEEL_UP, WHEEL_DOWN):
            entry = self.menu.click((x, y))
            if entry is not None:
                self.run_command(entry.command, entry.argument)
                self._update_title()

    def _update_title(self) -> None:
        title = self.session.title(self._frame_rate.value)
        if title != self._title:
            self._title = title
            GLUT.glutSetWindowTitle(title.encode("utf-8", "replace"))
