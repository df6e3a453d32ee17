"""The help overlay: the key map drawn over the frame in bitmap text."""

from OpenGL import GL
from OpenGL import GLUT

from . import keys, menu

FONT = GLUT.GLUT_BITMAP_9_BY_15
STATUS_FONT = GLUT.GLUT_BITMAP_8_BY_13
STATUS_CHARACTER_WIDTH = 8
LINE_HEIGHT = 16
CHARACTER_WIDTH = 9
MARGIN = 12
HINT = "F1: help   middle button: menu   Home: frame the model   Esc: quit"


def _begin_window_coordinates(width: int, height: int) -> None:
    """Saves the frame's state and sets up pixel coordinates, origin at the top left."""
    GL.glPushAttrib(GL.GL_ALL_ATTRIB_BITS)
    for capability in (GL.GL_LIGHTING, GL.GL_DEPTH_TEST, GL.GL_FOG, GL.GL_TEXTURE_2D, GL.GL_CULL_FACE):
        GL.glDisable(capability)
    GL.glPolygonMode(GL.GL_FRONT_AND_BACK, GL.GL_FILL)
    GL.glViewport(0, 0, width, height)
    GL.glMatrixMode(GL.GL_PROJECTION)
    GL.glPushMatrix()
    GL.glLoadIdentity()
    GL.glOrtho(0, width, height, 0, -1, 1)
    GL.glMatrixMode(GL.GL_MODELVIEW)
    GL.glPushMatrix()
    GL.glLoadIdentity()


def _end_window_coordinates() -> None:
    GL.glMatrixMode(GL.GL_PROJECTION)
    GL.glPopMatrix()
    GL.glMatrixMode(GL.GL_MODELVIEW)
    GL.glPopMatrix()
    GL.glPopAttrib()


def _shade(x0: int, y0: int, x1: int, y1: int) -> None:
    GL.glEnable(GL.GL_BLEND)
    GL.glBlendFunc(GL.GL_SRC_ALPHA, GL.GL_ONE_MINUS_SRC_ALPHA)
    GL.glColor4f(0.0, 0.0, 0.05, 0.78)
    GL.glRecti(x0, y0, x1, y1)
    GL.glDisable(GL.GL_BLEND)


def _text(x: int, y: int, lines) -> None:
    for row, line in enumerate(lines):
        if line.isupper():
            GL.glColor3f(1.0, 0.85, 0.4)
        else:
            GL.glColor3f(0.95, 0.95, 0.95)
        GL.glRasterPos2i(x, y + (row + 1) * LINE_HEIGHT - 4)
        GLUT.glutBitmapString(FONT, line.encode("latin-1", "replace"))


def draw_help(width: int, height: int) -> None:
    """Draws the key map in two columns over a darkened panel."""
    columns = keys.help_columns()
    column_width = max(len(line) for column in columns for line in column) * CHARACTER_WIDTH
    panel_height = max(len(column) for column in columns) * LINE_HEIGHT + 2 * MARGIN
    _begin_window_coordinates(width, height)
    _shade(MARGIN, MARGIN, 2 * column_width + 7 * MARGIN, MARGIN + panel_height)
    for index, column in enumerate(columns):
        _text(2 * MARGIN + index * (column_width + 3 * MARGIN), 2 * MARGIN, column)
    _end_window_coordinates()


def status_characters(width: int) -> int:
    """How many characters of the status line fit across the window."""
    return max(1, (width - 2 * MARGIN) // STATUS_CHARACTER_WIDTH)


def draw_status_line(width: int, height: int, text: str, hint: bool) -> None:
    """The status line across the bottom on a dark strip (cut to the window's
    width), and with `hint` a line at the top that says how to get help."""
    _begin_window_coordinates(width, height)
    _shade(0, height - LINE_HEIGHT - 8, width, height)
    if "OUTSIDE" in text or "nothing changed" in text:
        GL.glColor3f(1.0, 0.55, 0.45)
    else:
        GL.glColor3f(0.9, 0.9, 0.95)
    GL.glRasterPos2i(MARGIN, height - 8)
    GLUT.glutBitmapString(STATUS_FONT, text[:status_characters(width)].encode("latin-1", "replace"))
    if hint:
        GL.glColor3f(0.7, 0.7, 0.75)
        GL.glRasterPos2i(MARGIN, MARGIN + LINE_HEIGHT)
        GLUT.glutBitmapString(FONT, HINT.encode("latin-1"))
    _end_window_coordinates()


def draw_menu(width: int, height: int, panels) -> None:
    """The open menu: each panel a box of rows, the highlighted row lit."""
    _begin_window_coordinates(width, height)
    for (x0, y0, x1, y1), lines, highlighted in panels:
        GL.glColor3f(0.18, 0.2, 0.26)
        GL.glRecti(x0, y0, x1, y1)
        if highlighted is not None:
            GL.glColor3f(0.35, 0.45, 0.7)
            GL.glRecti(x0, y0 + highlighted * menu.ROW_HEIGHT, x1, y0 + (highlighted + 1) * menu.ROW_HEIGHT)
        GL.glColor3f(0.6, 0.65, 0.75)
        GL.glBegin(GL.GL_LINE_LOOP)
        for x, y in ((x0, y0), (x1, y0), (x1, y1), (x0, y1)):
            GL.glVertex2f(x + 0.5, y + 0.5)
        GL.glEnd()
        GL.glColor3f(0.95, 0.95, 0.95)
        for row, line in enumerate(lines):
            GL.glRasterPos2i(x0 + menu.PADDING, y0 + (row + 1) * menu.ROW_HEIGHT - 5)
            GLUT.glutBitmapString(FONT, line.encode("latin-1", "replace"))
    _end_window_coordinates()
