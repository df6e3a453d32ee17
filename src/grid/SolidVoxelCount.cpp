#include "grid/SolidVoxelCount.h"

#include <algorithm>

#include "grid/VoxelGrid.h"

namespace {

// Solid voxels in the uniform children of a level `level` node.
VoxelCount uniform_solid_voxels(const GridNode& node, uint32_t levels, uint32_t level) {
    BitPlane uniform_solid;
    for (uint32_t i = 0; i < BitPlane::kWordCount; ++i) {
        uniform_solid.words[i] = node.solid.words[i] & ~node.subdivided.words[i];
    }
    // A child of a level k node is 8^(levels - k - 1) voxels on a side.
    const uint32_t child_volume_bits = 9 * (levels - level - 1);
    return VoxelCount(uniform_solid.count()) << child_volume_bits;
}

}  // namespace

VoxelCount count_solid_voxels(const VoxelGrid& grid) {
    VoxelCount total = uniform_solid_voxels(grid.root(), grid.levels(), 0);
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) {
        grid.node_map(level).for_each(
            [&](const NodeMap::Entry& e) { total += uniform_solid_voxels(e.value, grid.levels(), level); });
    }
    grid.leaf_map().for_each([&](const LeafMap::Entry& e) { total += e.value.bits.count(); });
    return total;
}

std::string voxel_count_text(VoxelCount count) {
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(count % 10)));
        count /= 10;
    } while (count != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}
