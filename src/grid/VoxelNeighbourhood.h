#pragma once

#include <cstdint>

class VoxelGrid;

// The 27 voxels of the 3 x 3 x 3 block centred on a grid point, one bit each
// (1 = solid). The voxel at offset (dx, dy, dz), each in {-1, 0, 1}, has bit
// number neighbourhood_bit(dx, dy, dz); the centre is bit 13.
using NeighbourhoodBits = uint32_t;

constexpr uint32_t kNeighbourhoodSize = 27;
constexpr uint32_t kNeighbourhoodCentre = 13;

constexpr uint32_t neighbourhood_bit(int dx, int dy, int dz) {
    return static_cast<uint32_t>((dx + 1) + 3 * (dy + 1) + 9 * (dz + 1));
}

// The offsets of a bit number, each in {-1, 0, 1}.
constexpr int neighbourhood_dx(uint32_t bit) { return static_cast<int>(bit % 3) - 1; }
constexpr int neighbourhood_dy(uint32_t bit) { return static_cast<int>(bit / 3 % 3) - 1; }
constexpr int neighbourhood_dz(uint32_t bit) { return static_cast<int>(bit / 9) - 1; }

// Reads the 27 voxels around (x, y, z). Coordinates wrap as the grid's do, so
// callers keep the point at least one voxel away from the grid's faces. Each
// leaf-sized block the voxels fall into is looked up once, not once per voxel.
NeighbourhoodBits read_neighbourhood(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z);
