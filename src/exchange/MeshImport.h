#pragma once

#include <cstdint>
#include <string>

#include "exchange/MeshVoxelizer.h"

// How large a mesh becomes: voxels along the longest side of its bounding
// box, or, when voxel_size is above 0, the edge of one voxel in the mesh's
// units.
struct MeshScale {
    uint32_t longest_side_voxels = 128;
    double voxel_size = 0.0;
};

// The most voxels an imported mesh may span on any side.
constexpr uint32_t kMaxMeshVoxelsPerSide = 4096;

// Reads the triangles of a mesh file (OBJ, STL, PLY and the other formats
// the asset import library reads), every node's transform applied. Throws
// ExchangeError naming the file when it cannot be read, holds no triangle or
// has a coordinate that is not a finite number of sensible size.
TriangleSoup read_mesh_file(const std::string& path);

// Scales the soup into voxel units by `scale` (centred in its box of whole
// voxels) and returns that box's size. Throws ExchangeError naming `name`
// for a scale that is not usable or makes more voxels than an import can.
std::array<uint32_t, 3> scale_to_voxels(TriangleSoup& soup, const MeshScale& scale, const std::string& name);

// read_mesh_file, scale_to_voxels and voxelize.
VoxelizedMesh voxelize_mesh_file(const std::string& path, const MeshScale& scale, const Progress& progress = {});
