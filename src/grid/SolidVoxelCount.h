#pragma once

#include <string>

class VoxelGrid;

// A count of voxels. A full grid of 8 levels holds 2^72 voxels, more than 64
// bits can count.
using VoxelCount = unsigned __int128;

// The exact number of solid voxels, summed over the hierarchy: a uniform
// solid child counts its whole cell at once, a leaf block its set bits.
VoxelCount count_solid_voxels(const VoxelGrid& grid);

// The count in decimal digits.
std::string voxel_count_text(VoxelCount count);
