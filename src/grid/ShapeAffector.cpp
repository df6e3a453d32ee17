#include "grid/ShapeAffector.h"

#include <utility>

#include "grid/World.h"
#include "math/PrimitiveDrawer.h"

ShapeAffector::ShapeAffector(std::vector<ShapeOffset> voxels, std::vector<OutlineBox> outline)
    : voxels_(std::move(voxels)), outline_(std::move(outline)) {}

VoxelPosition ShapeAffector::voxel_at(VoxelPosition position, const ShapeOffset& offset) {
    return VoxelPosition{position.x + static_cast<uint32_t>(offset.dx), position.y + static_cast<uint32_t>(offset.dy),
                         position.z + static_cast<uint32_t>(offset.dz)};
}

void ShapeAffector::add_shape(World& world, VoxelPosition position) const {
    world.add_and_settle([&] {
        for (const ShapeOffset& offset : voxels_) {
            const VoxelPosition v = voxel_at(position, offset);
            world.add_voxel(v.x, v.y, v.z);
        }
    });
}

void ShapeAffector::remove_shape(World& world, VoxelPosition position) const {
    world.remove_and_update([&] {
        for (const ShapeOffset& offset : voxels_) {
            const VoxelPosition v = voxel_at(position, offset);
            world.clear_and_cascade(v.x, v.y, v.z);
        }
    });
}

void ShapeAffector::draw_shape(PrimitiveDrawer& drawer, VoxelPosition position) const {
    const float anchor[3] = {static_cast<float>(position.x), static_cast<float>(position.y),
                             static_cast<float>(position.z)};
    for (const OutlineBox& box : outline_) {
        drawer.draw_box_outline(
            Vector3(anchor[0] + box.lower[0], anchor[1] + box.lower[1], anchor[2] + box.lower[2]),
            Vector3(anchor[0] + box.upper[0], anchor[1] + box.upper[1], anchor[2] + box.upper[2]));
    }
}

SingleVoxelAffector::SingleVoxelAffector()
    : ShapeAffector({ShapeOffset{0, 0, 0}}, {OutlineBox{{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}}}) {}

void SingleVoxelAffector::add_shape(World& world, VoxelPosition position) const {
    world.add_single(position.x, position.y, position.z);
}
