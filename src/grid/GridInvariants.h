#pragma once

class VoxelGrid;

// Checks the structure that every user of a grid relies on and returns null
// when it holds, otherwise a short sentence naming the first broken rule:
// - every key lies inside the grid, is aligned to its level's cell and sits
//   in its own bucket;
// - no key appears twice in one level, and each map's entry count matches
//   its entries;
// - every entry hangs from a Subdivided child of its parent node, and every
//   Subdivided child has its entry one level down.
// Runs in time linear in the number of entries.
const char* find_grid_fault(const VoxelGrid& grid);

// Returns null when no node or leaf block below the root is uniform (all
// children solid, or all clear), otherwise a sentence saying which kind is.
// Editing keeps grids free of such cells; loaded files may hold them.
const char* find_uniform_cell(const VoxelGrid& grid);
