#pragma once

// Voxelizes the solid inside a triangle mesh. A voxel is solid when its
// centre lies inside the mesh.
//
// Rays run through the voxel centres along z, one per (x, y) column; the
// crossings of each ray with the triangles are sorted and the voxels between
// the first and second, third and fourth... crossing are inside. Whether a
// ray meets a triangle is decided by edge functions that give exactly
// opposite values for the two triangles sharing an edge, and a ray through
// an edge or a vertex counts for exactly one of the triangles around it, so
// a closed mesh voxelizes exactly. A column with an odd number of crossings
// went through a hole; each of its voxels is decided instead by the rays
// along x and y through its centre that have an even count. Parity ignores
// the orientation of the triangles, so flipped ones do no harm.

#include <array>
#include <cstdint>
#include <vector>

#include "exchange/ImportedModel.h"

// Triangles in voxel units: voxel (i, j, k) is the unit cube from (i, j, k)
// to (i + 1, j + 1, k + 1), its centre at (i + 0.5, j + 0.5, k + 0.5).
struct TriangleSoup {
    std::vector<double> positions;  // x, y, z per vertex
    std::vector<uint32_t> indices;  // three per triangle

    size_t triangle_count() const { return indices.size() / 3; }
};

// The voxelized solid, as runs along z per (x, y) column.
class VoxelizedMesh : public ImportedModel {
public:
    struct Run {
        uint32_t column;  // x + dims[0] * y
        uint32_t z_begin;
        uint32_t z_end;
    };

    VoxelizedMesh(std::array<uint32_t, 3> dims, std::vector<Run> runs);

    // The whole box of `dims` voxels, which holds every solid voxel.
    ModelExtent extent() const override { return ModelExtent{dims_[0], dims_[1], dims_[2]}; }
    uint64_t voxel_count() const override { return count_; }
    void for_each_run(const RunSink& run, const Progress& progress) const override;

    const std::array<uint32_t, 3>& dims() const { return dims_; }
    bool solid(uint32_t x, uint32_t y, uint32_t z) const;

private:
    std::array<uint32_t, 3> dims_;
    std::vector<Run> runs_;  // by column, then z
    uint64_t count_ = 0;
};

// Voxelizes the inside of `soup` over the voxels 0 .. dims - 1. Every
// dimension must be at least 1 and the columns along each axis fewer than
// 2^32.
VoxelizedMesh voxelize(const TriangleSoup& soup, const std::array<uint32_t, 3>& dims, const Progress& progress = {});
