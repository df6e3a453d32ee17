#pragma once

// Between the grid and .vox scenes. A .vox position (x, y, z), z up, is the
// grid position (x, z, -y) plus an offset, so up stays up and nothing is
// mirrored.

#include <memory>
#include <string>

#include "exchange/ImportedModel.h"
#include "exchange/VoxFile.h"
#include "grid/IntBox.h"

class VoxelGrid;

// The solid voxels of `box` as a scene of models of at most 256 voxels per
// side, each placed by its translation, the whole centred on the origin in x
// and y and standing on z = 0. Throws ExchangeError (naming `name`) when the
// box holds no solid voxel or more than the format can count.
VoxScene scene_of_box(const VoxelGrid& grid, const IntBox& box, const std::string& name);

// Writes the solid voxels of `box` to the .vox file at `path`; nothing is
// written when the box is refused.
void export_vox(const VoxelGrid& grid, const IntBox& box, const std::string& path);

// Every placed voxel of the scene, in the grid's axes.
std::unique_ptr<ImportedModel> model_of_scene(VoxScene scene);
