#include "grid/VoxelSupport.h"

#include "grid/VoxelGrid.h"

namespace {

// One axis: either neighbour solid. Neighbours beyond the grid are not read.
bool has_solid_neighbour(const VoxelGrid& grid, VoxelPosition v, uint32_t VoxelPosition::*axis) {
    const uint32_t c = v.*axis;
    VoxelPosition n = v;
    if (c != 0) {
        n.*axis = c - 1;
        if (grid.get_voxel(n.x, n.y, n.z)) return true;
    }
    if (c + 1 != grid.side()) {
        n.*axis = c + 1;
        if (grid.get_voxel(n.x, n.y, n.z)) return true;
    }
    return false;
}

// A voxel whose neighbours are being visited, and the next one to visit
// (0 .. 26 in the order x + 1 .. x - 1, y + 1 .. y - 1, z + 1 .. z - 1).
struct CascadeFrame {
    VoxelPosition voxel;
    uint32_t next = 0;
};

constexpr uint32_t kNeighbourSlots = 27;
constexpr uint32_t kSelfSlot = 13;

VoxelPosition neighbour_in_slot(VoxelPosition v, uint32_t slot) {
    return VoxelPosition{v.x + 1 - slot / 9, v.y + 1 - slot / 3 % 3, v.z + 1 - slot % 3};
}

}  // namespace

bool is_supported(const VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z) {
    const VoxelPosition v{x, y, z};
    return has_solid_neighbour(grid, v, &VoxelPosition::x) && has_solid_neighbour(grid, v, &VoxelPosition::y) &&
           has_solid_neighbour(grid, v, &VoxelPosition::z);
}

void remove_unsupported_neighbours(VoxelGrid& grid, uint32_t x, uint32_t y, uint32_t z,
                                   std::vector<VoxelPosition>& changes) {
    const uint32_t side = grid.side();
    std::vector<CascadeFrame> stack{CascadeFrame{VoxelPosition{x, y, z}, 0}};
    while (!stack.empty()) {
        CascadeFrame& frame = stack.back();
        if (frame.next == kNeighbourSlots) {
            stack.pop_back();
            continue;
        }
        const uint32_t slot = frame.next++;
        if (slot == kSelfSlot) continue;
        const VoxelPosition n = neighbour_in_slot(frame.voxel, slot);
        // One below 0 wraps to 4294967295, which is at least side as well.
        if (n.x >= side || n.y >= side || n.z >= side) continue;
        if (!grid.get_voxel(n.x, n.y, n.z) || is_supported(grid, n.x, n.y, n.z)) continue;
        grid.clear_voxel(n.x, n.y, n.z);
        changes.push_back(n);
        stack.push_back(CascadeFrame{n, 0});  // `frame` is not used after this
    }
}
