"""Guides the host draws over the library's frame, in world coordinates: the
display box's edges, a ground grid under the model and a drop line from the
focus down to it, and a warning outline at the focus while it lies outside
the display box."""

from OpenGL import GL
from OpenGL import GLU

from . import camera
from .status import inside

GROUND_SPACING = 4  # voxels between ground grid lines
GROUND_MARGIN = 8  # voxels of ground beyond the display box


class GroundLevel:
    """The height of the ground: the bottom of the solid voxels, found again
    only when the grid changed."""

    def __init__(self, hf):
        self._hf = hf
        self._count = None
        self._bounds = None

    def height(self, box) -> int:
        count = self._hf.change_count()
        if count != self._count:
            self._count = count
            self._bounds = self._hf.solid_bounds()
        if self._bounds is None or self._bounds[1] > box[4] + 1:
            return box[1]
        return self._bounds[1]


def _box_edges(low, high):
    corners = [(x, y, z) for x in (low[0], high[0]) for y in (low[1], high[1]) for z in (low[2], high[2])]
    for i, a in enumerate(corners):
        for b in corners[i + 1:]:
            if sum(1 for p, q in zip(a, b) if p != q) == 1:
                GL.glVertex3f(*a)
                GL.glVertex3f(*b)


def _ground(box, height):
    x0 = (box[0] - GROUND_MARGIN) // GROUND_SPACING * GROUND_SPACING
    z0 = (box[2] - GROUND_MARGIN) // GROUND_SPACING * GROUND_SPACING
    x1, z1 = box[3] + 1 + GROUND_MARGIN, box[5] + 1 + GROUND_MARGIN
    for x in range(x0, x1 + 1, GROUND_SPACING):
        GL.glVertex3f(x, height, z0)
        GL.glVertex3f(x, height, z1)
    for z in range(z0, z1 + 1, GROUND_SPACING):
        GL.glVertex3f(x0, height, z)
        GL.glVertex3f(x1, height, z)


MIRROR_SETTINGS = ("BoolMirrorX", "BoolMirrorY", "BoolMirrorZ")


def mirror_plane_quads(box, centre, axes):
    """The corners of each mirror plane that is on, across the display box:
    the plane across axis a lies at the centre's a coordinate."""
    low, high = box[:3], tuple(v + 1 for v in box[3:])
    quads = []
    for axis, on in enumerate(axes):
        if not on:
            continue
        u, v = [a for a in range(3) if a != axis]
        corners = []
        for cu, cv in ((low[u], low[v]), (high[u], low[v]), (high[u], high[v]), (low[u], high[v])):
            point = [0.0, 0.0, 0.0]
            point[axis], point[u], point[v] = centre[axis], cu, cv
            corners.append(tuple(point))
        quads.append(corners)
    return quads


def _mirror_planes(hf, box) -> None:
    """The mirror planes, faintly, while a mirror switch is on."""
    axes = [bool(hf.query_bool(getattr(hf, name))) for name in MIRROR_SETTINGS]
    if not any(axes):
        return
    GL.glDisable(GL.GL_DEPTH_TEST)
    for quad in mirror_plane_quads(box, hf.mirror_centre(), axes):
        GL.glColor4f(0.4, 0.9, 1.0, 0.12)
        GL.glBegin(GL.GL_QUADS)
        for corner in quad:
            GL.glVertex3f(*corner)
        GL.glEnd()
        GL.glColor4f(0.4, 0.9, 1.0, 0.5)
        GL.glBegin(GL.GL_LINE_LOOP)
        for corner in quad:
            GL.glVertex3f(*corner)
        GL.glEnd()


def draw_guides(hf, ground: GroundLevel, width: int, height: int) -> None:
    box = hf.display_box()
    focus = hf.focus_voxel()
    floor = ground.height(box)
    GL.glPushAttrib(GL.GL_ALL_ATTRIB_BITS)
    for capability in (GL.GL_LIGHTING, GL.GL_FOG, GL.GL_TEXTURE_2D, GL.GL_CULL_FACE):
        GL.glDisable(capability)
    GL.glEnable(GL.GL_BLEND)
    GL.glBlendFunc(GL.GL_SRC_ALPHA, GL.GL_ONE_MINUS_SRC_ALPHA)
    GL.glMatrixMode(GL.GL_PROJECTION)
    GL.glPushMatrix()
    GL.glLoadIdentity()
    GLU.gluPerspective(camera.FIELD_OF_VIEW, width / max(height, 1), 2.0, 8192.0)
    GL.glMatrixMode(GL.GL_MODELVIEW)
    GL.glPushMatrix()
    GL.glLoadMatrixd(hf.camera_matrix())
    GL.glEnable(GL.GL_DEPTH_TEST)
    GL.glDepthFunc(GL.GL_LEQUAL)

    GL.glLineWidth(1.0)
    GL.glColor4f(0.35, 0.45, 0.6, 0.55)
    GL.glBegin(GL.GL_LINES)
    _ground(box, floor)
    GL.glEnd()

    # The box's edges: bright where visible, faint through the model.
    low, high = box[:3], tuple(v + 1 for v in box[3:])
    for depth_test, alpha, line_width in ((False, 0.3, 1.0), (True, 0.9, 2.0)):
        (GL.glEnable if depth_test else GL.glDisable)(GL.GL_DEPTH_TEST)
        GL.glLineWidth(line_width)
        GL.glColor4f(1.0, 0.85, 0.3, alpha)
        GL.glBegin(GL.GL_LINES)
        _box_edges(low, high)
        GL.glEnd()

    # The drop line from the focus to the ground, and its foot.
    GL.glDisable(GL.GL_DEPTH_TEST)
    centre = [f + 0.5 for f in focus]
    GL.glLineWidth(1.0)
    GL.glColor4f(1.0, 1.0, 1.0, 0.7)
    GL.glBegin(GL.GL_LINES)
    GL.glVertex3f(centre[0], centre[1], centre[2])
    GL.glVertex3f(centre[0], floor, centre[2])
    for dx, dz in ((1.0, 0.0), (0.0, 1.0)):
        GL.glVertex3f(centre[0] - dx, floor, centre[2] - dz)
        GL.glVertex3f(centre[0] + dx, floor, centre[2] + dz)
    GL.glEnd()

    _mirror_planes(hf, box)

    if not inside(box, focus):
        GL.glLineWidth(2.0)
        GL.glColor4f(1.0, 0.2, 0.2, 0.9)
        GL.glBegin(GL.GL_LINES)
        _box_edges([f - 0.5 for f in focus], [f + 1.5 for f in focus])
        GL.glEnd()

    GL.glMatrixMode(GL.GL_PROJECTION)
    GL.glPopMatrix()
    GL.glMatrixMode(GL.GL_MODELVIEW)
    GL.glPopMatrix()
    GL.glPopAttrib()
