#pragma once

// Placing an imported model into a grid. Voxels are set directly, without
// settling, and only inside the safe range 2 .. side - 3, so a model is
// either placed whole or refused before the grid is touched.

#include <memory>
#include <string>
#include <vector>

#include "exchange/ImportedModel.h"
#include "grid/VoxelPosition.h"

class VoxelGrid;
class World;

// The fewest levels (2 to 8) whose safe range holds the extent; 0 when even
// 8 levels do not.
long levels_to_hold(const ModelExtent& extent);

// A new clear grid of `levels` levels (0: levels_to_hold) with the model
// centred in it. Throws ExchangeError naming `name` when the model is empty
// or does not fit.
std::unique_ptr<VoxelGrid> import_into_new_grid(const ImportedModel& model, long levels, const std::string& name,
                                                const Progress& progress = {});

// Sets the model's voxels into the grid with its lower corner at `corner`
// and returns the voxels that were clear before. Throws ExchangeError naming
// `name`, with the grid untouched, when the model is empty or would reach
// outside the safe range.
std::vector<VoxelPosition> import_into_grid(VoxelGrid& grid, const ImportedModel& model, const VoxelPosition& corner,
                                            const std::string& name, const Progress& progress = {});

// Sets the model's voxels into the world's grid with its lower corner at
// `corner`, then updates the surface around the voxels that were clear; the
// world's change count moves when there was at least one. Returns those
// voxels: the whole change, for whoever wants to take it back. Throws
// ExchangeError naming `name`, with the world untouched, when the model is
// empty or would reach outside the safe range.
std::vector<VoxelPosition> import_into_world(World& world, const ImportedModel& model, const VoxelPosition& corner,
                                             const std::string& name, const Progress& progress = {});
