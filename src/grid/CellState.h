#pragma once

#include <cstdint>

// What a child cell of a node holds: wholly clear, wholly solid, or a mix
// that has a node (or leaf block) of its own one level down.
enum class CellState : uint32_t {
    Clear = 0,
    Solid = 1,
    Subdivided = 2,
};
