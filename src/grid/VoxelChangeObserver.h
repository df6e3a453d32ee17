#pragma once

#include <cstdint>

class VoxelGrid;

// Told by a grid just before one of its voxels changes through set_voxel or
// clear_voxel, while every node and leaf block still holds its old state.
// It must not change the grid.
class VoxelChangeObserver {
public:
    virtual void before_voxel_change(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) = 0;

protected:
    ~VoxelChangeObserver() = default;
};
