#include "host/python/ModuleConstants.h"

#include "core/SettingIds.h"

namespace {

struct Constant {
    const char* name;
    long value;
};

#define HOLLOFORM_CONSTANT(name) \
    Constant { #name, name }

const Constant kConstants[] = {
    HOLLOFORM_CONSTANT(StringSavePath),
    HOLLOFORM_CONSTANT(StringLoadPath),
    HOLLOFORM_CONSTANT(StringVarSentinel),

    HOLLOFORM_CONSTANT(IntGridLevels),
    HOLLOFORM_CONSTANT(IntDisplayBoxX),
    HOLLOFORM_CONSTANT(IntDisplayBoxY),
    HOLLOFORM_CONSTANT(IntDisplayBoxZ),
    HOLLOFORM_CONSTANT(IntMaxFixedStringSize),
    HOLLOFORM_CONSTANT(IntUndoMemoryMB),
    HOLLOFORM_CONSTANT(IntVarSentinel),

    HOLLOFORM_CONSTANT(FloatExportBoxMaxDim),
    HOLLOFORM_CONSTANT(FloatClearR),
    HOLLOFORM_CONSTANT(FloatClearG),
    HOLLOFORM_CONSTANT(FloatClearB),
    HOLLOFORM_CONSTANT(FloatFogR),
    HOLLOFORM_CONSTANT(FloatFogG),
    HOLLOFORM_CONSTANT(FloatFogB),
    HOLLOFORM_CONSTANT(FloatD_TextureScale),
    HOLLOFORM_CONSTANT(FloatMovementScaling),
    HOLLOFORM_CONSTANT(FloatP_TimeStep),
    HOLLOFORM_CONSTANT(FloatP_ViscousDrag),
    HOLLOFORM_CONSTANT(FloatP_GridStiffness),
    HOLLOFORM_CONSTANT(FloatP_GridDamping),
    HOLLOFORM_CONSTANT(FloatP_NeighbourStiffness),
    HOLLOFORM_CONSTANT(FloatP_NeighbourDamping),
    HOLLOFORM_CONSTANT(FloatVarSentinel),

    HOLLOFORM_CONSTANT(BoolD_OutsideSolid),
    HOLLOFORM_CONSTANT(BoolFoggingOn),
    HOLLOFORM_CONSTANT(BoolDisplayBoxStickOn),
    HOLLOFORM_CONSTANT(BoolDisplayGridAsSquares),
    HOLLOFORM_CONSTANT(BoolDisplayGridAsLimitMCA),
    HOLLOFORM_CONSTANT(BoolDisplayVertIndex),
    HOLLOFORM_CONSTANT(BoolLightingOn),
    HOLLOFORM_CONSTANT(BoolD_TexturingOn),
    HOLLOFORM_CONSTANT(BoolD_ClearBuffers),
    HOLLOFORM_CONSTANT(BoolWireGrid),
    HOLLOFORM_CONSTANT(BoolCountFaces),
    HOLLOFORM_CONSTANT(BoolCompensateForTwist),
    HOLLOFORM_CONSTANT(BoolDisplayWithAdditiveBlend),
    HOLLOFORM_CONSTANT(BoolD_HierarchyContainingFocus),
    HOLLOFORM_CONSTANT(BoolP_DoPhysics),
    HOLLOFORM_CONSTANT(BoolP_DoViscousDrag),
    HOLLOFORM_CONSTANT(BoolP_DoGridSpring),
    HOLLOFORM_CONSTANT(BoolP_DoDynamicNeighbourSpring),
    HOLLOFORM_CONSTANT(BoolP_DoStaticNeighbourSpring),
    HOLLOFORM_CONSTANT(BoolMirrorX),
    HOLLOFORM_CONSTANT(BoolMirrorY),
    HOLLOFORM_CONSTANT(BoolMirrorZ),
    HOLLOFORM_CONSTANT(BoolVarSentinel),

    HOLLOFORM_CONSTANT(ActionSave),
    HOLLOFORM_CONSTANT(ActionLoad),
    HOLLOFORM_CONSTANT(ActionNewSolidGrid),
    HOLLOFORM_CONSTANT(ActionNewClearGrid),
    HOLLOFORM_CONSTANT(ActionSnapVertsToVoxels),
    HOLLOFORM_CONSTANT(ActionToggleMovement),
    HOLLOFORM_CONSTANT(ActionChangeGridAffector),
    HOLLOFORM_CONSTANT(ActionUpdateDisplayBox),
    HOLLOFORM_CONSTANT(ActionToggleDisplayBoxFixed),
    HOLLOFORM_CONSTANT(ActionExportDisplayBoxAsSquares),
    HOLLOFORM_CONSTANT(ActionUndo),
    HOLLOFORM_CONSTANT(ActionRedo),
    HOLLOFORM_CONSTANT(ActionSetMirrorCentre),
    HOLLOFORM_CONSTANT(ActionSentinel),
};

#undef HOLLOFORM_CONSTANT

static_assert(sizeof(kConstants) / sizeof(kConstants[0]) == 63, "every setting identifier and action number");

bool add_constant(PyObject* module, const Constant& constant) {
    PyObject* number = PyLong_FromLong(constant.value);
    if (number == nullptr) return false;
    const int status = PyModule_AddObjectRef(module, constant.name, number);
    Py_DECREF(number);
    return status == 0;
}

}  // namespace

bool add_module_constants(PyObject* module) {
    for (const Constant& constant : kConstants) {
        if (!add_constant(module, constant)) return false;
    }
    return true;
}
