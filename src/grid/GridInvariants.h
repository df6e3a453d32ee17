#pragma once

#include <cstdint>

#include "grid/CellKey.h"

class VoxelGrid;
struct GridNode;

// Checks the structure that every user of a grid relies on and returns null
// when it holds, otherwise a short sentence naming the first broken rule:
// - every key lies inside the grid and is aligned to its level's cell;
// - no key appears twice in one level;
// - every entry hangs from a Subdivided child of its parent node, and every
//   Subdivided child has its entry one level down;
// - no node or leaf block below the root is uniform (all children solid, or
//   all clear): such a cell belongs in its parent's bits.
// Runs in time linear in the number of entries.
const char* find_grid_fault(const VoxelGrid& grid);

// Returns null when no node or leaf block below the root is uniform,
// otherwise a sentence saying which kind is.
const char* find_uniform_cell(const VoxelGrid& grid);

// The rules for one entry of the map of `level` (1 .. L), given the grid's
// maps above it: the key's bounds and alignment, and the parent's
// subdivided child. The loader applies them to each record as it arrives.
const char* find_key_fault(const VoxelGrid& grid, uint32_t level, CellKey key);
const char* find_parent_fault(const VoxelGrid& grid, uint32_t level, CellKey key);

namespace GridFaultText {
constexpr const char* kDuplicate = "A node or leaf block appears twice in one level.";
constexpr const char* kMissingChild = "A subdivided child has no node or leaf block below it.";
}  // namespace GridFaultText
