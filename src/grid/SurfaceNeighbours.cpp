#include "grid/SurfaceNeighbours.h"

#include "grid/CubeTables.h"

namespace {

constexpr NeighbourhoodBits kWhollySolid = (NeighbourhoodBits(1) << kNeighbourhoodSize) - 1;

// The neighbourhood bit of corner j of cube i around the point.
constexpr uint32_t corner_bit(uint32_t cube, uint32_t corner) {
    return neighbourhood_bit(static_cast<int>((cube >> 2 & 1) + (corner >> 2 & 1)) - 1,
                             static_cast<int>((cube >> 1 & 1) + (corner >> 1 & 1)) - 1,
                             static_cast<int>((cube & 1) + (corner & 1)) - 1);
}

// The case of cube i: bit j set when its corner j is solid.
unsigned cube_case(NeighbourhoodBits around, uint32_t cube) {
    unsigned result = 0;
    for (uint32_t corner = 0; corner < kCubeCorners; ++corner) {
        result |= ((around >> corner_bit(cube, corner)) & 1u) << corner;
    }
    return result;
}

}  // namespace

SurfaceNeighbours surface_neighbours(NeighbourhoodBits around, uint32_t x, uint32_t y, uint32_t z) {
    SurfaceNeighbours neighbours;
    // A clear point is no triangle corner, and a point with only solid voxels
    // around it sees case 255 (no triangles) in all eight cubes.
    if ((around >> kNeighbourhoodCentre & 1u) == 0 || around == kWhollySolid) return neighbours;
    NeighbourhoodBits listed = 0;
    for (uint32_t cube = 0; cube < kCubeCorners; ++cube) {
        const uint8_t joined = corner_adjacency(cube_case(around, cube), 7 - cube);
        for (uint32_t corner = 0; corner < kCubeCorners; ++corner) {
            if ((joined >> corner & 1u) == 0) continue;
            const uint32_t bit = corner_bit(cube, corner);
            if (listed >> bit & 1u) continue;
            listed |= NeighbourhoodBits(1) << bit;
            neighbours.push_back(VoxelPosition{x + static_cast<uint32_t>(neighbourhood_dx(bit)),
                                               y + static_cast<uint32_t>(neighbourhood_dy(bit)),
                                               z + static_cast<uint32_t>(neighbourhood_dz(bit))});
        }
    }
    return neighbours;
}

SurfaceNeighbours collect_surface_neighbours(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
    return surface_neighbours(read_neighbourhood(grid, x, y, z), x, y, z);
}
