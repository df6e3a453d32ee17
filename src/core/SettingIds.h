#pragma once

#include <cstdint>

// Setting identifiers, numbered from 0 within each value type. Each family
// ends with a sentinel equal to its count, which is not a valid identifier.

enum StringSettingId : std::uint32_t {
    StringSavePath = 0,
    StringLoadPath = 1,
    StringVarSentinel = 2,
};

enum IntSettingId : std::uint32_t {
    IntGridLevels = 0,
    IntDisplayBoxX = 1,
    IntDisplayBoxY = 2,
    IntDisplayBoxZ = 3,
    IntMaxFixedStringSize = 4,
    IntUndoMemoryMB = 5,
    IntVarSentinel = 6,
};

enum FloatSettingId : std::uint32_t {
    FloatExportBoxMaxDim = 0,
    FloatClearR = 1,
    FloatClearG = 2,
    FloatClearB = 3,
    FloatFogR = 4,
    FloatFogG = 5,
    FloatFogB = 6,
    FloatD_TextureScale = 7,
    FloatMovementScaling = 8,
    FloatP_TimeStep = 9,
    FloatP_ViscousDrag = 10,
    FloatP_GridStiffness = 11,
    FloatP_GridDamping = 12,
    FloatP_NeighbourStiffness = 13,
    FloatP_NeighbourDamping = 14,
    FloatVarSentinel = 15,
};

enum BoolSettingId : std::uint32_t {
    BoolD_OutsideSolid = 0,
    BoolFoggingOn = 1,
    BoolDisplayBoxStickOn = 2,
    BoolDisplayGridAsSquares = 3,
    BoolDisplayGridAsLimitMCA = 4,
    BoolDisplayVertIndex = 5,
    BoolLightingOn = 6,
    BoolD_TexturingOn = 7,
    BoolD_ClearBuffers = 8,
    BoolWireGrid = 9,
    BoolCountFaces = 10,
    BoolCompensateForTwist = 11,
    BoolDisplayWithAdditiveBlend = 12,
    BoolD_HierarchyContainingFocus = 13,
    BoolP_DoPhysics = 14,
    BoolP_DoViscousDrag = 15,
    BoolP_DoGridSpring = 16,
    BoolP_DoDynamicNeighbourSpring = 17,
    BoolP_DoStaticNeighbourSpring = 18,
    BoolMirrorX = 19,
    BoolMirrorY = 20,
    BoolMirrorZ = 21,
    BoolVarSentinel = 22,
};

// The numbered one-shot commands of the edit context.
enum ActionId : std::uint32_t {
    ActionSave = 0,
    ActionLoad = 1,
    ActionNewSolidGrid = 2,
    ActionNewClearGrid = 3,
    ActionSnapVertsToVoxels = 4,
    ActionToggleMovement = 5,
    ActionChangeGridAffector = 6,
    ActionUpdateDisplayBox = 7,
    ActionToggleDisplayBoxFixed = 8,
    ActionExportDisplayBoxAsSquares = 9,
    ActionUndo = 10,
    ActionRedo = 11,
    ActionSetMirrorCentre = 12,
    ActionSentinel = 13,
};
