#pragma once

#include <cstdint>
#include <vector>

#include "grid/GridAffector.h"

// A voxel of a shape, as an offset from the anchor.
struct ShapeOffset {
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t dz = 0;
};

// A box of a shape's outline: its corners as offsets from the anchor's lower
// corner, in voxel units.
struct OutlineBox {
    float lower[3];
    float upper[3];
};

// A brush given by the list of its voxels, in the order they are added and
// removed, and by the boxes of its outline.
//
// Voxel coordinates are the anchor plus the offset in unsigned arithmetic: a
// voxel that would lie below 0 wraps to a huge coordinate and is dropped by
// the world's safe-range test. Outline corners are the anchor converted to
// float plus the offsets, and may be negative.
class ShapeAffector : public GridAffector {
public:
    ShapeAffector(std::vector<ShapeOffset> voxels, std::vector<OutlineBox> outline);

    void add_shape(World& world, VoxelPosition position) const override;
    void remove_shape(World& world, VoxelPosition position) const override;
    void draw_shape(PrimitiveDrawer& drawer, VoxelPosition position) const override;

    // The shape's voxel at `position` for offset `offset`.
    static VoxelPosition voxel_at(VoxelPosition position, const ShapeOffset& offset);

    // The shape's voxels, in the order they are edited.
    const std::vector<ShapeOffset>& voxels() const { return voxels_; }

private:
    std::vector<ShapeOffset> voxels_;
    std::vector<OutlineBox> outline_;
};

// The one-voxel brush: its addition is World::add_single, which leaves the
// change list alone when the voxel lies outside the safe range.
class SingleVoxelAffector : public ShapeAffector {
public:
    SingleVoxelAffector();

    void add_shape(World& world, VoxelPosition position) const override;
};
