#include "exchange/ModelFile.h"

#include <cctype>

#include "exchange/VoxExchange.h"

bool is_vox_path(const std::string& path) {
    if (path.size() < 4) return false;
    std::string extension = path.substr(path.size() - 4);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".vox";
}

std::unique_ptr<ImportedModel> read_model_file(const std::string& path, const MeshScale& scale,
                                               const Progress& progress) {
    if (is_vox_path(path)) return model_of_scene(read_vox_file(path));
    return std::make_unique<VoxelizedMesh>(voxelize_mesh_file(path, scale, progress));
}
