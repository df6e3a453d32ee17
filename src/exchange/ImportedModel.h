#pragma once

#include <cstdint>
#include <functional>

// Reports how far a long piece of work has come, from 0 to 1.
using Progress = std::function<void(double fraction)>;

// Extent of a model in voxels along the grid's x, y and z.
struct ModelExtent {
    uint64_t x = 0;
    uint64_t y = 0;
    uint64_t z = 0;

    uint64_t longest() const { return x > y ? (x > z ? x : z) : (y > z ? y : z); }
};

// A model read from a file, ready to be placed into a grid: its solid voxels
// in the grid's axes, relative to the model's lower corner, handed out as
// runs along z.
class ImportedModel {
public:
    virtual ~ImportedModel() = default;

    // A box holding every solid voxel (for a .vox scene the smallest; for a
    // mesh the whole voxels around its bounding box). Its lower corner is
    // the model's lower corner.
    virtual ModelExtent extent() const = 0;
    // Solid voxels in all (a voxel handed out twice counts twice).
    virtual uint64_t voxel_count() const = 0;
    // Calls run(x, y, z_begin, z_end) for solid voxels (x, y, z) with
    // z_begin <= z < z_end, every coordinate inside extent(); runs may
    // overlap. `progress` (may be empty) hears how far the walk has come.
    using RunSink = std::function<void(uint32_t x, uint32_t y, uint32_t z_begin, uint32_t z_end)>;
    virtual void for_each_run(const RunSink& run, const Progress& progress) const = 0;
};
