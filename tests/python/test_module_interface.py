"""The module's functions, constants, argument handling and settings."""

import math

import pytest

import Holloform

FUNCTIONS = [
    "set_vertex3_func", "do_action", "query_bool", "query_float", "query_int", "set_bool",
    "set_float", "set_int", "set_string", "key", "button", "motion", "reshape", "display",
    "contact_address", "copyright_notice",
    "import_model_at", "import_model", "export_limit_surface", "export_vox",
    "import_model_at_focus",
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
        (lambda: Holloform.set_vertex3_func(print, print), TypeError, r"^set_vertex3_func\(\) takes exactly 1 argument"),
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
        (H.set_int, H.query_int, H.IntVarSentinel, 77, 1),
        (H.set_float, H.query_float, H.FloatVarSentinel, 2.0, 1.0),
        (H.set_bool, H.query_bool, -1, 1, 0),
    ]:
        set_(identifier, written)
        assert query(identifier) == read and type(query(identifier)) is type(read)
    H.set_float(H.FloatFogR, 0.1)
    value = H.query_float(H.FloatFogR)
    assert type(value) is float and value != 0.1 and math.isclose(value, 0.1, rel_tol=1e-7)
