#include "core/Settings.h"

namespace {

bool is_utf8_continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where a value too long for a slot is cut: at most `limit` bytes, moved back
// to the start of a UTF-8 sequence (which is at most 4 bytes long) so that a
// character is never split.
std::uint32_t cut_position(const char* value, std::uint32_t limit) {
    std::uint32_t cut = limit;
    while (cut > limit - 3 && is_utf8_continuation(value[cut])) --cut;
    return is_utf8_continuation(value[cut]) ? limit : cut;
}

}  // namespace

void Settings::set_string(std::uint32_t id, const char* value) {
    if (id >= StringVarSentinel || value == nullptr) return;
    char* slot = strings_[id];
    cut_[id] = false;
    for (std::uint32_t i = 0; i + 1 < kStringSlotSize; ++i) {
        slot[i] = value[i];
        if (value[i] == '\0') return;
    }
    // The last byte of the slot is kept for the terminator, so an overlong
    // value is cut rather than left unterminated.
    if (value[kStringSlotSize - 1] == '\0') {
        slot[kStringSlotSize - 1] = '\0';
        return;
    }
    slot[cut_position(value, kStringSlotSize - 1)] = '\0';
    slot[kStringSlotSize - 1] = '\0';
    cut_[id] = true;
}

bool Settings::string_was_cut(std::uint32_t id) const { return id < StringVarSentinel && cut_[id]; }

void Settings::copy_string(std::uint32_t id, char* buffer, std::uint32_t limit) const {
    if (id >= StringVarSentinel || buffer == nullptr) return;
    const char* slot = strings_[id];
    // Every slot holds a terminator, so the copy never leaves the slot.
    for (std::uint32_t i = 0; i < limit; ++i) {
        buffer[i] = slot[i];
        if (slot[i] == '\0') return;
    }
}

const char* Settings::query_string(std::uint32_t id) const {
    if (id >= StringVarSentinel) return "Bad ID";
    return strings_[id];
}

void Settings::set_int(std::uint32_t id, std::int32_t value) {
    if (id < IntVarSentinel) ints_[id] = value;
}

std::int32_t Settings::query_int(std::uint32_t id) const {
    return id < IntVarSentinel ? ints_[id] : 1;
}

void Settings::set_float(std::uint32_t id, float value) {
    if (id < FloatVarSentinel) floats_[id] = value;
}

float Settings::query_float(std::uint32_t id) const {
    return id < FloatVarSentinel ? floats_[id] : 1.0f;
}

void Settings::set_bool(std::uint32_t id, bool value) {
    if (id < BoolVarSentinel) bools_[id] = value;
}

bool Settings::query_bool(std::uint32_t id) const {
    return id < BoolVarSentinel ? bools_[id] : false;
}

Settings& settings() {
    static Settings store;
    return store;
}

void write_setting_defaults(Settings& store) {
    for (std::uint32_t id = 0; id < IntVarSentinel; ++id) store.set_int(id, 0);
    for (std::uint32_t id = 0; id < BoolVarSentinel; ++id) store.set_bool(id, false);
    for (std::uint32_t id = 0; id < FloatVarSentinel; ++id) store.set_float(id, 0.0f);

    store.set_int(IntGridLevels, 3);
    store.set_int(IntDisplayBoxX, 40);
    store.set_int(IntDisplayBoxY, 40);
    store.set_int(IntDisplayBoxZ, 40);
    store.set_int(IntMaxFixedStringSize, static_cast<std::int32_t>(Settings::kStringSlotSize));
    store.set_int(IntUndoMemoryMB, 256);

    store.set_float(FloatMovementScaling, 1.0f);
    store.set_float(FloatExportBoxMaxDim, 8.0f);
    store.set_float(FloatD_TextureScale, 256.0f);

    store.set_bool(BoolCompensateForTwist, true);
    store.set_bool(BoolFoggingOn, true);
    store.set_bool(BoolLightingOn, true);
    store.set_bool(BoolD_TexturingOn, true);
    store.set_bool(BoolCountFaces, false);
    store.set_bool(BoolDisplayGridAsSquares, true);
    store.set_bool(BoolD_ClearBuffers, true);
    store.set_bool(BoolD_HierarchyContainingFocus, true);
    store.set_bool(BoolP_DoPhysics, true);
    store.set_bool(BoolP_DoGridSpring, true);
    store.set_bool(BoolP_DoDynamicNeighbourSpring, true);

    store.set_float(FloatP_TimeStep, 0.02f);
    store.set_float(FloatP_ViscousDrag, 0.1f);
    store.set_float(FloatP_GridStiffness, 0.0625f);
    store.set_float(FloatP_GridDamping, 1.0f);
    store.set_float(FloatP_NeighbourStiffness, 1.0f);
    store.set_float(FloatP_NeighbourDamping, 1.0f);
}
