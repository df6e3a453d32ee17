#pragma once

#include <optional>

#include "grid/IntBox.h"

class VoxelGrid;

// The smallest box that holds every solid voxel of the grid, or nothing for a
// grid without one. Read from the hierarchy: a uniform solid child counts as
// its whole cell at once, a leaf block by its rows of bits, and a subdivided
// cell that lies wholly inside the bounds found so far is not entered.
std::optional<IntBox> solid_voxel_bounds(const VoxelGrid& grid);
