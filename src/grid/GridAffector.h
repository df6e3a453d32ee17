#pragma once

#include <array>
#include <cstddef>
#include <memory>

#include "grid/VoxelPosition.h"

class PrimitiveDrawer;
class World;

// A brush: a fixed shape of voxels anchored at a voxel position, which the
// editor adds to the world's grid or removes from it, and whose outline it
// draws as the cursor. Brushes hold no state.
class GridAffector {
public:
    virtual ~GridAffector() = default;

    // Makes the shape's voxels solid (those inside the safe range), then lets
    // the additions settle: voxels left without support are cleared again.
    virtual void add_shape(World& world, VoxelPosition position) const = 0;
    // Removes the shape's voxels one by one, each with its own cascade.
    virtual void remove_shape(World& world, VoxelPosition position) const = 0;
    // Outlines the shape with box outlines.
    virtual void draw_shape(PrimitiveDrawer& drawer, VoxelPosition position) const = 0;
};

constexpr std::size_t kGridAffectorCount = 8;

// The eight brushes in the order the editor cycles through them: cube of
// 2 x 2 x 2, single voxel, cube of 3 x 3 x 3, cross of 19 voxels, rows of 4
// along x, y and z, bar of 16 x 2 x 2 along x.
std::array<std::unique_ptr<GridAffector>, kGridAffectorCount> make_grid_affectors();

// A short name of brush `index` (0-based, in cycle order) for display, such as
// "cube 2x2x2"; an empty string for an index of 8 or more.
const char* grid_affector_name(std::size_t index);
