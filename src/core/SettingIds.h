#pragma once

#include <cstdint>
#include <initializer_list>

// The one list of setting identifiers (numbered from 0 within each value
// type) and action numbers. The enums below and the Python module's
// constants are both made from it, in this order. Each family ends with a
// sentinel equal to its count, which is not a valid identifier. The numbers
// are published: a new name goes just before its family's sentinel, which
// moves up by one; no number ever changes.

#define HOLLOFORM_STRING_SETTING_IDS(X) \
    X(StringSavePath, 0)                \
    X(StringLoadPath, 1)                \
    X(StringVarSentinel, 2)

#define HOLLOFORM_INT_SETTING_IDS(X) \
    X(IntGridLevels, 0)              \
    X(IntDisplayBoxX, 1)             \
    X(IntDisplayBoxY, 2)             \
    X(IntDisplayBoxZ, 3)             \
    X(IntMaxFixedStringSize, 4)      \
    X(IntUndoMemoryMB, 5)            \
    X(IntVarSentinel, 6)

#define HOLLOFORM_FLOAT_SETTING_IDS(X) \
    X(FloatExportBoxMaxDim, 0)         \
    X(FloatClearR, 1)                  \
    X(FloatClearG, 2)                  \
    X(FloatClearB, 3)                  \
    X(FloatFogR, 4)                    \
    X(FloatFogG, 5)                    \
    X(FloatFogB, 6)                    \
    X(FloatD_TextureScale, 7)          \
    X(FloatMovementScaling, 8)         \
    X(FloatP_TimeStep, 9)              \
    X(FloatP_ViscousDrag, 10)          \
    X(FloatP_GridStiffness, 11)        \
    X(FloatP_GridDamping, 12)          \
    X(FloatP_NeighbourStiffness, 13)   \
    X(FloatP_NeighbourDamping, 14)     \
    X(FloatVarSentinel, 15)

#define HOLLOFORM_BOOL_SETTING_IDS(X)     \
    X(BoolD_OutsideSolid, 0)              \
    X(BoolFoggingOn, 1)                   \
    X(BoolDisplayBoxStickOn, 2)           \
    X(BoolDisplayGridAsSquares, 3)        \
    X(BoolDisplayGridAsLimitMCA, 4)       \
    X(BoolDisplayVertIndex, 5)            \
    X(BoolLightingOn, 6)                  \
    X(BoolD_TexturingOn, 7)               \
    X(BoolD_ClearBuffers, 8)              \
    X(BoolWireGrid, 9)                    \
    X(BoolCountFaces, 10)                 \
    X(BoolCompensateForTwist, 11)         \
    X(BoolDisplayWithAdditiveBlend, 12)   \
    X(BoolD_HierarchyContainingFocus, 13) \
    X(BoolP_DoPhysics, 14)                \
    X(BoolP_DoViscousDrag, 15)            \
    X(BoolP_DoGridSpring, 16)             \
    X(BoolP_DoDynamicNeighbourSpring, 17) \
    X(BoolP_DoStaticNeighbourSpring, 18)  \
    X(BoolMirrorX, 19)                    \
    X(BoolMirrorY, 20)                    \
    X(BoolMirrorZ, 21)                    \
    X(BoolVarSentinel, 22)

#define HOLLOFORM_ACTION_IDS(X)           \
    X(ActionSave, 0)                      \
    X(ActionLoad, 1)                      \
    X(ActionNewSolidGrid, 2)              \
    X(ActionNewClearGrid, 3)              \
    X(ActionSnapVertsToVoxels, 4)         \
    X(ActionToggleMovement, 5)            \
    X(ActionChangeGridAffector, 6)        \
    X(ActionUpdateDisplayBox, 7)          \
    X(ActionToggleDisplayBoxFixed, 8)     \
    X(ActionExportDisplayBoxAsSquares, 9) \
    X(ActionUndo, 10)                     \
    X(ActionRedo, 11)                     \
    X(ActionSetMirrorCentre, 12)          \
    X(ActionSentinel, 13)

#define HOLLOFORM_SETTING_AND_ACTION_IDS(X) \
    HOLLOFORM_STRING_SETTING_IDS(X)         \
    HOLLOFORM_INT_SETTING_IDS(X)            \
    HOLLOFORM_FLOAT_SETTING_IDS(X)          \
    HOLLOFORM_BOOL_SETTING_IDS(X)           \
    HOLLOFORM_ACTION_IDS(X)

#define HOLLOFORM_ENUMERATOR(name, number) name = number,

enum StringSettingId : std::uint32_t { HOLLOFORM_STRING_SETTING_IDS(HOLLOFORM_ENUMERATOR) };
enum IntSettingId : std::uint32_t { HOLLOFORM_INT_SETTING_IDS(HOLLOFORM_ENUMERATOR) };
enum FloatSettingId : std::uint32_t { HOLLOFORM_FLOAT_SETTING_IDS(HOLLOFORM_ENUMERATOR) };
enum BoolSettingId : std::uint32_t { HOLLOFORM_BOOL_SETTING_IDS(HOLLOFORM_ENUMERATOR) };

// The numbered one-shot commands of the edit context.
enum ActionId : std::uint32_t { HOLLOFORM_ACTION_IDS(HOLLOFORM_ENUMERATOR) };

#undef HOLLOFORM_ENUMERATOR

// A family's numbers must run 0, 1, 2, ... in list order: a gap, a repeat or
// a renumbering stops the build.
constexpr bool numbered_in_list_order(std::initializer_list<std::uint32_t> numbers) {
    std::uint32_t expected = 0;
    for (const std::uint32_t number : numbers) {
        if (number != expected++) return false;
    }
    return true;
}

#define HOLLOFORM_NUMBER(name, number) number,
static_assert(numbered_in_list_order({HOLLOFORM_STRING_SETTING_IDS(HOLLOFORM_NUMBER)}), "string setting numbers");
static_assert(numbered_in_list_order({HOLLOFORM_INT_SETTING_IDS(HOLLOFORM_NUMBER)}), "int setting numbers");
static_assert(numbered_in_list_order({HOLLOFORM_FLOAT_SETTING_IDS(HOLLOFORM_NUMBER)}), "float setting numbers");
static_assert(numbered_in_list_order({HOLLOFORM_BOOL_SETTING_IDS(HOLLOFORM_NUMBER)}), "bool setting numbers");
static_assert(numbered_in_list_order({HOLLOFORM_ACTION_IDS(HOLLOFORM_NUMBER)}), "action numbers");
#undef HOLLOFORM_NUMBER
