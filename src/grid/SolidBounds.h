#pragma once

#include <optional>

#include "grid/IntBox.h"

class VoxelGrid;

// The smallest box that holds every solid voxel of the grid, or nothing for a
// grid without one. Read from the hierarchy, one side of the box at a time:
// the children of a node are looked at layer by layer from that side, a
// wholly solid child ends the search at once, and only the cells of the
// first layer that holds a solid voxel are entered.
std::optional<IntBox> solid_voxel_bounds(const VoxelGrid& grid);
