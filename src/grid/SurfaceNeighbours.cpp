#include "grid/SurfaceNeighbours.h"

#include <array>

#include "grid/CubeTables.h"

namespace {

constexpr NeighbourhoodBits kWhollySolid = (NeighbourhoodBits(1) << kNeighbourhoodSize) - 1;

// The neighbourhood bit of corner j of cube i around the point.
constexpr uint32_t corner_bit(uint32_t cube, uint32_t corner) {
    return neighbourhood_bit(static_cast<int>((cube >> 2 & 1) + (corner >> 2 & 1)) - 1,
                             static_cast<int>((cube >> 1 & 1) + (corner >> 1 & 1)) - 1,
                             static_cast<int>((cube & 1) + (corner & 1)) - 1);
}

// A cube's corners lie in four rows along x of two voxels each. Packing the
// rows (dy, dz) = (0, 0), (0, 1), (1, 0), (1, 1) two bits apiece gives a byte
// whose case this table holds: bit x of row (dy, dz) is corner 4x + 2dy + dz.
constexpr std::array<uint8_t, 256> make_case_of_rows() {
    std::array<uint8_t, 256> table{};
    for (uint32_t rows = 0; rows < 256; ++rows) {
        uint32_t cube_case = 0;
        for (uint32_t row = 0; row < 4; ++row) {
            for (uint32_t x = 0; x < 2; ++x) {
                if (rows >> (2 * row + x) & 1) cube_case |= 1u << (4 * x + row);
            }
        }
        table[rows] = static_cast<uint8_t>(cube_case);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCaseOfRows = make_case_of_rows();

// The case of cube i: bit j set when its corner j is solid.
unsigned cube_case(NeighbourhoodBits around, uint32_t cube) {
    const NeighbourhoodBits s = around >> corner_bit(cube, 0);
    return kCaseOfRows[(s & 3u) | (s >> 9 & 3u) << 2 | (s >> 3 & 3u) << 4 | (s >> 12 & 3u) << 6];
}

}  // namespace

uint32_t surface_neighbour_bits(NeighbourhoodBits around, uint8_t* bits) {
    // A clear point is no triangle corner, and a point with only solid voxels
    // around it sees case 255 (no triangles) in all eight cubes.
    if ((around >> kNeighbourhoodCentre & 1u) == 0 || around == kWhollySolid) return 0;
    NeighbourhoodBits listed = 0;
    uint32_t count = 0;
    for (uint32_t cube = 0; cube < kCubeCorners; ++cube) {
        for (uint32_t joined = corner_adjacency(cube_case(around, cube), 7 - cube); joined != 0; joined &= joined - 1) {
            const uint32_t bit = corner_bit(cube, static_cast<uint32_t>(__builtin_ctz(joined)));
            if (listed >> bit & 1u) continue;
            listed |= NeighbourhoodBits(1) << bit;
            bits[count++] = static_cast<uint8_t>(bit);
        }
    }
    return count;
}

SurfaceNeighbours surface_neighbours(NeighbourhoodBits around, uint32_t x, uint32_t y, uint32_t z) {
    SurfaceNeighbours neighbours;
    uint8_t bits[26];
    const uint32_t count = surface_neighbour_bits(around, bits);
    for (uint32_t i = 0; i < count; ++i) {
        neighbours.push_back(VoxelPosition{x + static_cast<uint32_t>(neighbourhood_dx(bits[i])),
                                           y + static_cast<uint32_t>(neighbourhood_dy(bits[i])),
                                           z + static_cast<uint32_t>(neighbourhood_dz(bits[i]))});
    }
    return neighbours;
}

SurfaceNeighbours collect_surface_neighbours(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
    return surface_neighbours(read_neighbourhood(grid, x, y, z), x, y, z);
}
