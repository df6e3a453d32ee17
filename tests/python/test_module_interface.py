"""The module's functions, constants, argument handling and settings."""

import math

import pytest

import Holloform

FAMILIES = ("String", "Int", "Float", "Bool", "Action")


def test_functions_then_each_family_of_constants_numbered_from_zero():
    public = [name for name in vars(Holloform) if not name.startswith("_")]
    functions = [name for name in public if callable(getattr(Holloform, name))]
    assert public[:len(functions)] == functions
    assert Holloform.__doc__ and all(getattr(Holloform, name).__doc__ for name in functions)
    constants = public[len(functions):]
    assert all(type(getattr(Holloform, name)) is int for name in constants)
    families = [[name for name in constants if name.startswith(family)] for family in FAMILIES]
    assert [name for family in families for name in family] == constants
    for family in families:
        assert [getattr(Holloform, name) for name in family] == list(range(len(family)))
        assert family[-1].endswith("Sentinel")


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda: Holloform.display(1), TypeError, r"^display\(\) takes exactly 0 arguments"),
        (lambda: Holloform.query_int("0"), TypeError, "cannot be interpreted as an integer"),
        (lambda: Holloform.set_int(0), TypeError, r"^set_int\(\) takes exactly 2 arguments"),
        (lambda: Holloform.set_string(0, b"bytes"), TypeError, r"^set_string\(\) argument 2 must be str"),
        (lambda: Holloform.set_string(0, "nul\0inside"), ValueError, "null character"),
        (lambda: Holloform.key(256, 1), OverflowError, "unsigned byte integer"),
        (lambda: Holloform.query_int(2 ** 40), OverflowError, "signed integer"),
        (lambda: Holloform.set_vertex3_func(print, print), TypeError, r"^set_vertex3_func\(\) takes exactly 1 "),
    ],
)
def test_argument_errors_come_from_the_parser(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_settings_round_trip_with_their_types_and_fall_back_out_of_range():
    H = Holloform
    assert "Holloform" in H.copyright_notice() and "@" in H.contact_address()
    # (setter, querier, identifier, value written, value read back)
    for set_, query, identifier, written, read in [
        (H.set_bool, H.query_bool, H.BoolFoggingOn, 2, 1),
        (H.set_bool, H.query_bool, H.BoolFoggingOn, 0, 0),
        (H.set_int, H.query_int, H.IntDisplayBoxY, -2 ** 31, -2 ** 31),
        (H.set_float, H.query_float, H.FloatFogR, 1e300, math.inf),  # floats travel as 32-bit values
        (H.set_int, H.query_int, -1, 77, 1),  # out of range: ignored, fallback answers
        (H.set_float, H.query_float, H.FloatVarSentinel, 2.0, 1.0),
        (H.set_bool, H.query_bool, -1, 1, 0),
        (H.set_float, H.query_float, H.FloatFogR, 0.1, 0.10000000149011612),
    ]:
        set_(identifier, written)
        assert query(identifier) == read and type(query(identifier)) is type(read)


def test_queries_and_camera_access():
    # The editor's tests use these through its session; here the conversions at the edges.
    H = Holloform
    H.set_int(H.IntGridLevels, 2)
    H.do_action(H.ActionNewClearGrid)
    assert H.grid_side() == 64 and H.solid_bounds() is None
    H.set_camera_matrix([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -10, -20, -30, 1])  # the eye at (10, 20, 30)
    H.set_focus_depth(40.0, -1.0)
    assert H.focus_depth() == (40.0, 0.0) and H.focus_voxel() == (10, 20, -10)
    kept = H.camera_matrix()
    H.set_camera_matrix([math.nan] + [0.0] * 15)  # ignored
    assert H.camera_matrix() == kept and kept[12:15] == (-10.0, -20.0, -30.0)
    with pytest.raises(ValueError, match="16 numbers"):
        H.set_camera_matrix([1.0] * 15)
    H.set_bool(H.BoolDisplayBoxStickOn, False)
    H.set_focus_depth(9.0, 0.0)
    H.do_action(H.ActionUpdateDisplayBox)
    x0, y0, z0, x1, y1, z1 = H.display_box()
    assert x0 <= 10 <= x1 and y0 <= 20 <= y1 and z0 <= 21 <= z1
