#pragma once

#include <memory>
#include <string>

#include "exchange/ImportedModel.h"
#include "exchange/MeshImport.h"

// True when the path names a .vox file (by its extension, in any case).
bool is_vox_path(const std::string& path);

// The model in a .vox file, or the voxelized solid of any other mesh file
// at `scale`. Throws ExchangeError naming the file.
std::unique_ptr<ImportedModel> read_model_file(const std::string& path, const MeshScale& scale,
                                               const Progress& progress = {});
