"""The editor window: GLUT events forwarded to the library, plus the host's keys.

GLUT's conventions are the library's: button state 0 is pressed and 1 is
released, and keys arrive as characters, presses and releases separately (key
repeat is off, so a release means the key went up).
"""

import time
import traceback

from OpenGL import GLUT

from . import help_overlay, keys, menu
from .frame_rate import FrameRate

# Frames are paced to about 60 per second: enough for smooth motion while
# leaving the processor to the rest of the machine.
FRAME_INTERVAL = 1.0 / 60.0


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
        self._menu_callback = None
        self._screenshot_pending = False

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
        self._menu_callback = menu.attach_menu(self)

    def run(self) -> None:
        """Runs until the person quits, closes the window or the frame limit is reached."""
        GLUT.glutMainLoop()

    # Host commands.

    def quit(self) -> None:
        GLUT.glutLeaveMainLoop()

    def toggle_help(self) -> None:
        self.show_help = not self.show_help

    def run_exchange(self, command: str):
        """A models-in-and-out command; the screenshot needs the window's size."""
        if command == "screenshot":
            self._screenshot_pending = True  # taken from the next frame, before the swap
            return None
        return self.session.run_command(command)

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
        if self.show_help:
            help_overlay.draw_help(self.width, self.height)
        else:
            help_overlay.draw_hint(self.width, self.height)
        if self._screenshot_pending:
            self._screenshot_pending = False
            self.session.screenshot(self.width, self.height)
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
        self.hf.reshape(0, 0, self.width, self.height)

    def on_motion(self, x: int, y: int) -> None:
        self.hf.motion(x, y)

    def on_button(self, button: int, state: int, x: int, y: int) -> None:
        self.hf.motion(x, y)
        self.hf.button(button, state)
        self.session.note_button(button, state == GLUT.GLUT_DOWN)
        self._update_title()

    def on_key_down(self, key: bytes, x: int, y: int) -> None:
        character = key.decode("latin-1")
        if character == keys.ESCAPE:
            self.quit()
        elif keys.exchange_command(character) is not None:
            self.run_exchange(keys.exchange_command(character))
        elif not self.session.host_key(character):
            self.hf.key(keys.library_key_code(character), 1)
            self.session.note_library_key(character, True)
        self._update_title()

    def on_key_up(self, key: bytes, x: int, y: int) -> None:
        character = key.decode("latin-1")
        if not keys.is_host_key(character):
            self.hf.key(keys.library_key_code(character), 0)

    def on_special_down(self, key: int, x: int, y: int) -> None:
        if key == keys.HELP_FUNCTION_KEY:
            self.toggle_help()
            return
        command = keys.action_for_function_key(key)
        if keys.exchange_command(key) is not None:
            self.run_exchange(keys.exchange_command(key))
        elif command is not None:
            self.session.run_command(command)
            self._update_title()

    def _update_title(self) -> None:
        title = self.session.title(self._frame_rate.value)
        if title != self._title:
            self._title = title
            GLUT.glutSetWindowTitle(title.encode("utf-8", "replace"))
