#include "exchange/MeshImport.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>

#include "exchange/ExchangeError.h"

namespace {

// Coordinates beyond this are refused: the voxel arithmetic would lose its
// precision long before.
constexpr double kMaxCoordinate = 1e12;
// A grid of 8 levels has 8^8 - 4 voxels per side in its safe range.
constexpr double kEightLevelSafeSide = 16777212.0;

void append_mesh(const aiMesh& mesh, TriangleSoup& soup, const std::string& path) {
    const uint32_t base = uint32_t(soup.positions.size() / 3);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        const aiVector3D& v = mesh.mVertices[i];
        for (double c : {double(v.x), double(v.y), double(v.z)}) {
            if (!std::isfinite(c)) throw ExchangeError(path, "a vertex has a coordinate that is not a number");
            if (std::fabs(c) > kMaxCoordinate) throw ExchangeError(path, "a vertex has a coordinate beyond 1e12");
            soup.positions.push_back(c);
        }
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) continue;  // points and lines enclose nothing
        for (unsigned k = 0; k < 3; ++k) {
            if (face.mIndices[k] >= mesh.mNumVertices) throw ExchangeError(path, "a triangle names a missing vertex");
            soup.indices.push_back(base + face.mIndices[k]);
        }
    }
}

}  // namespace

TriangleSoup read_mesh_file(const std::string& path) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(
        path, aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_PreTransformVertices);
    if (scene == nullptr) {
        std::string reason = importer.GetErrorString();
        if (reason.empty()) reason = "the mesh cannot be read";
        throw ExchangeError(path, reason);
    }
    TriangleSoup soup;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) append_mesh(*scene->mMeshes[m], soup, path);
    if (soup.triangle_count() == 0) throw ExchangeError(path, "the mesh holds no triangles");
    return soup;
}

std::array<uint32_t, 3> scale_to_voxels(TriangleSoup& soup, const MeshScale& scale, const std::string& name) {
    double low[3], high[3];
    for (int a = 0; a < 3; ++a) low[a] = high[a] = soup.positions[a];
    for (size_t i = 0; i < soup.positions.size(); ++i) {
        low[i % 3] = std::min(low[i % 3], soup.positions[i]);
        high[i % 3] = std::max(high[i % 3], soup.positions[i]);
    }
    const double longest = std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
    if (!(longest > 0)) throw ExchangeError(name, "the mesh has no extent");
    double voxel = 0;
    if (scale.voxel_size > 0) {
        voxel = scale.voxel_size;
    } else if (scale.longest_side_voxels > 0) {
        voxel = longest / scale.longest_side_voxels;
    } else {
        throw ExchangeError(name, "the scale must give at least one voxel along the longest side");
    }
    const double voxels_along_longest = longest / voxel;
    if (!std::isfinite(voxels_along_longest) || voxels_along_longest > kEightLevelSafeSide) {
        throw ExchangeError(name, "the scale needs more than 8 levels (the mesh would be " +
                                      std::to_string(voxels_along_longest) + " voxels long)");
    }
    if (voxels_along_longest > kMaxMeshVoxelsPerSide + 1e-6) {
        throw ExchangeError(name, "the scale makes the mesh " + std::to_string(uint64_t(std::ceil(voxels_along_longest))) +
                                      " voxels long; a mesh import makes at most " +
                                      std::to_string(kMaxMeshVoxelsPerSide));
    }
    std::array<uint32_t, 3> dims{};
    double shift[3];
    for (int a = 0; a < 3; ++a) {
        const double span = (high[a] - low[a]) / voxel;
        // Rounding must not add a voxel to a side that the scale makes whole.
        dims[a] = std::max<uint32_t>(1, uint32_t(std::ceil(span - 1e-9)));
        dims[a] = std::min<uint32_t>(dims[a], kMaxMeshVoxelsPerSide);
        shift[a] = (dims[a] - span) / 2;
    }
    for (size_t i = 0; i < soup.positions.size(); ++i) {
        soup.positions[i] = (soup.positions[i] - low[i % 3]) / voxel + shift[i % 3];
    }
    return dims;
}

VoxelizedMesh voxelize_mesh_file(const std::string& path, const MeshScale& scale, const Progress& progress) {
    TriangleSoup soup = read_mesh_file(path);
    const auto dims = scale_to_voxels(soup, scale, path);
    return voxelize(soup, dims, progress);
}
