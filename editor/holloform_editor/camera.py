"""Camera arithmetic on the library's view matrix.

A matrix is 16 floats in the library's (and glLoadMatrixd's) order: points are
row vectors multiplied from the left, p_eye = (x, y, z, 1) * M, so m[4r + c]
is row r, column c and the translation is m[12:15]. The view matrix maps world
to eye coordinates (the eye looks down -z, y is up); world y is up too.
"""

import math

FIELD_OF_VIEW = 40.0  # degrees, vertical, as the library's projection
NEAREST_FOCUS = 9.0  # the library's starting focus distance
IDENTITY = (1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0)


def multiply(a, b):
    return tuple(sum(a[4 * r + k] * b[4 * k + c] for k in range(4)) for r in range(4) for c in range(4))


def translation(x, y, z):
    return (1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, x, y, z, 1.0)


def rotation(angle, axis):
    """Right-handed rotation by `angle` radians about the unit vector `axis`."""
    x, y, z = axis
    c, s = math.cos(angle), math.sin(angle)
    t = 1.0 - c
    return (t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0.0,
            t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0.0,
            t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0.0,
            0.0, 0.0, 0.0, 1.0)


def _axis(matrix, column):
    """World direction of the eye's axis `column` (0: right, 1: up, 2: back)."""
    return tuple(matrix[4 * row + column] for row in range(3))


def eye_position(matrix):
    """The eye in world coordinates (the matrix is a rigid motion)."""
    return tuple(-sum(matrix[12 + c] * matrix[4 * row + c] for c in range(3)) for row in range(3))


def forward(matrix):
    return tuple(-v for v in _axis(matrix, 2))


def point_ahead(matrix, distance):
    eye, ahead = eye_position(matrix), forward(matrix)
    return tuple(e + distance * f for e, f in zip(eye, ahead))


def _normalised(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


def _cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def look_at(eye, target):
    """The view matrix of an eye at `eye` looking at `target`, level (world y up)."""
    ahead = _normalised(tuple(t - e for t, e in zip(target, eye)))
    right = _normalised(_cross(ahead, (0.0, 1.0, 0.0)))
    up = _cross(right, ahead)
    back = tuple(-c for c in ahead)
    axes = (right, up, back)
    matrix = [0.0] * 16
    for row in range(3):
        for column in range(3):
            matrix[4 * row + column] = axes[column][row]
    for column in range(3):
        matrix[12 + column] = -sum(e * a for e, a in zip(eye, axes[column]))
    matrix[15] = 1.0
    return tuple(matrix)


def is_rigid(matrix, tolerance=1e-3) -> bool:
    """Whether 16 finite numbers form a rotation and a translation."""
    if len(matrix) != 16 or not all(isinstance(v, (int, float)) and math.isfinite(v) for v in matrix):
        return False
    if any(abs(matrix[i] - want) > tolerance for i, want in ((3, 0.0), (7, 0.0), (11, 0.0), (15, 1.0))):
        return False
    axes = [_axis(matrix, column) for column in range(3)]
    for i in range(3):
        for j in range(3):
            dot = sum(a * b for a, b in zip(axes[i], axes[j]))
            if abs(dot - (1.0 if i == j else 0.0)) > tolerance:
                return False
    return True


def framing(bounds, aspect=4.0 / 3.0):
    """(view matrix, focus distance) that show the voxel box `bounds`
    (x0, y0, z0, x1, y1, z1, inclusive) whole, from the front right and above,
    with the focus at its centre."""
    low, high = bounds[:3], tuple(b + 1 for b in bounds[3:])
    centre = tuple((a + b) / 2.0 for a, b in zip(low, high))
    radius = max(1.0, math.sqrt(sum((b - a) ** 2 for a, b in zip(low, high))) / 2.0)
    half_angle = math.atan(tan_half_view() * min(1.0, aspect))
    distance = max(NEAREST_FOCUS, radius / math.sin(half_angle) * 1.05)
    direction = _normalised((0.6, 0.45, 0.66))  # from the centre towards the eye
    eye = tuple(c + distance * d for c, d in zip(centre, direction))
    return look_at(eye, centre), distance


def orbited(matrix, centre, yaw, pitch):
    """The view turned about `centre` by `yaw` radians about world up and
    `pitch` radians about the eye's right axis."""
    to_origin, back = translation(*(-c for c in centre)), translation(*centre)
    turned = multiply(multiply(multiply(to_origin, rotation(-yaw, (0.0, 1.0, 0.0))), back), matrix)
    # The pitch about the eye's own x axis through the centre, in eye coordinates.
    eye_centre = tuple(sum((centre[k] if k < 3 else 1.0) * turned[4 * k + c] for k in range(4)) for c in range(3))
    to_centre, from_centre = translation(*(-c for c in eye_centre)), translation(*eye_centre)
    return multiply(multiply(multiply(turned, to_centre), rotation(-pitch, (1.0, 0.0, 0.0))), from_centre)


def panned(matrix, right, up):
    """The view with the eye moved `right` and `up` voxels along its own axes."""
    return multiply(matrix, translation(-right, -up, 0.0))


def tan_half_view() -> float:
    """The tangent of half the vertical field of view."""
    return math.tan(math.radians(FIELD_OF_VIEW) / 2.0)
