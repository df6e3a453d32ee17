"""The module's functions, constants, argument handling and settings."""

import math

import pytest

import Holloform

FUNCTIONS = [
    "set_vertex3_func", "do_action", "query_bool", "query_float", "query_int", "set_bool",
    "set_float", "set_int", "set_string", "key", "button", "motion", "reshape", "display",
    "contact_address", "copyright_notice",
]

CONSTANTS = (
    ["StringSavePath", "StringLoadPath", "StringVarSentinel"],
    ["IntGridLevels", "IntDisplayBoxX", "IntDisplayBoxY", "IntDisplayBoxZ", "IntMaxFixedStringSize",
     "IntVarSentinel"],
    ["FloatExportBoxMaxDim", "FloatClearR", "FloatClearG", "FloatClearB", "FloatFogR", "FloatFogG",
     "FloatFogB", "FloatD_TextureScale", "FloatMovementScaling", "FloatP_TimeStep", "FloatP_ViscousDrag",
     "FloatP_GridStiffness", "FloatP_GridDamping", "FloatP_NeighbourStiffness", "FloatP_NeighbourDamping",
     "FloatVarSentinel"],
    ["BoolD_OutsideSolid", "BoolFoggingOn", "BoolDisplayBoxStickOn", "BoolDisplayGridAsSquares",
     "BoolDisplayGridAsLimitMCA", "BoolDisplayVertIndex", "BoolLightingOn", "BoolD_TexturingOn",
     "BoolD_ClearBuffers", "BoolWireGrid", "BoolCountFaces", "BoolCompensateForTwist",
     "BoolDisplayWithAdditiveBlend", "BoolD_HierarchyContainingFocus", "BoolP_DoPhysics",
     "BoolP_DoViscousDrag", "BoolP_DoGridSpring", "BoolP_DoDynamicNeighbourSpring",
     "BoolP_DoStaticNeighbourSpring", "BoolVarSentinel"],
    ["ActionSave", "ActionLoad", "ActionNewSolidGrid", "ActionNewClearGrid", "ActionSnapVertsToVoxels",
     "ActionToggleMovement", "ActionChangeGridAffector", "ActionUpdateDisplayBox",
     "ActionToggleDisplayBoxFixed", "ActionExportDisplayBoxAsSquares", "ActionSentinel"],
)


def test_functions_and_constants_in_published_order():
    public = [name for name in vars(Holloform) if not name.startswith("_")]
    assert public == FUNCTIONS + [name for family in CONSTANTS for name in family]
    for family in CONSTANTS:
        assert [getattr(Holloform, name) for name in family] == list(range(len(family)))
        assert all(type(getattr(Holloform, name)) is int for name in family)


def test_fixed_texts():
    assert "Holloform" in Holloform.copyright_notice()
    assert "@" in Holloform.contact_address()


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda: Holloform.display(1), TypeError),
        (lambda: Holloform.query_int(), TypeError),
        (lambda: Holloform.query_int("0"), TypeError),
        (lambda: Holloform.query_float(1.5), TypeError),
        (lambda: Holloform.set_int(0, 1, 2), TypeError),
        (lambda: Holloform.query_int(2 ** 40), OverflowError),
        (lambda: Holloform.set_float(0, "x"), TypeError),
        (lambda: Holloform.set_string(0, b"bytes"), TypeError),
        (lambda: Holloform.set_string(0, "nul\0inside"), ValueError),
        (lambda: Holloform.key(256, 1), OverflowError),
        (lambda: Holloform.key(-1, 1), OverflowError),
        (lambda: Holloform.reshape(0, 0, 1), TypeError),
        (lambda: Holloform.copyright_notice(None), TypeError),
        (lambda: Holloform.set_vertex3_func(), TypeError),
        (lambda: Holloform.set_vertex3_func(print, print), TypeError),
    ],
)
def test_argument_errors_name_the_function(call, error):
    with pytest.raises(error):
        call()


def test_argument_errors_use_the_module_function_names():
    with pytest.raises(TypeError, match=r"display\(\) takes"):
        Holloform.display(1)
    with pytest.raises(TypeError, match=r"set_int\(\)"):
        Holloform.set_int(0)


def test_out_of_range_identifiers_answer_fallbacks():
    assert Holloform.query_bool(-1) == 0
    assert Holloform.query_float(99) == 1.0
    assert Holloform.query_int(-1) == 1
    assert Holloform.query_int(Holloform.IntVarSentinel) == 1
    Holloform.set_int(-1, 77)  # ignored, no error
    Holloform.set_float(Holloform.FloatVarSentinel, 2.0)
    assert Holloform.query_float(Holloform.FloatVarSentinel) == 1.0


def test_values_round_trip_with_their_types():
    Holloform.set_bool(Holloform.BoolFoggingOn, 2)
    assert Holloform.query_bool(Holloform.BoolFoggingOn) == 1
    assert type(Holloform.query_bool(Holloform.BoolFoggingOn)) is int
    Holloform.set_bool(Holloform.BoolFoggingOn, 0)
    assert Holloform.query_bool(Holloform.BoolFoggingOn) == 0

    Holloform.set_int(Holloform.IntDisplayBoxY, -2 ** 31)
    assert Holloform.query_int(Holloform.IntDisplayBoxY) == -2 ** 31

    # Floats travel as 32-bit values.
    Holloform.set_float(Holloform.FloatFogR, 0.1)
    value = Holloform.query_float(Holloform.FloatFogR)
    assert type(value) is float and value != 0.1 and math.isclose(value, 0.1, rel_tol=1e-7)
    Holloform.set_float(Holloform.FloatFogR, 1e300)
    assert Holloform.query_float(Holloform.FloatFogR) == math.inf


def test_events_without_drawing():
    Holloform.reshape(0, 0, 320, 240)
    Holloform.motion(10, 20)
    Holloform.button(0, 1)
    Holloform.button(-1, 0)
    Holloform.key(ord("x"), 0)
