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

// With the world's mirror planes on, every image of the shape is part of the
// one application: the shape itself first, then each mirror image in turn.
void ShapeAffector::add_shape(World& world, VoxelPosition position) const {
    const MirrorSymmetry& mirror = world.mirror();
    world.add_and_settle([&] {
        for (uint32_t image = 0; image < mirror.image_count(); ++image) {
            for (const ShapeOffset& offset : voxels_) {
                const VoxelPosition v = mirror.image(voxel_at(position, offset), image);
                world.add_voxel(v.x, v.y, v.z);
            }
        }
    });
}

void ShapeAffector::remove_shape(World& world, VoxelPosition position) const {
    const MirrorSymmetry& mirror = world.mirror();
    world.remove_and_update([&] {
        for (uint32_t image = 0; image < mirror.image_count(); ++image) {
            for (const ShapeOffset& offset : voxels_) {
                const VoxelPosition v = mirror.image(voxel_at(position, offset), image);
                world.clear_and_cascade(v.x, v.y, v.z);
            }
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
    if (world.mirror().image_count() > 1) {
        ShapeAffector::add_shape(world, position);
        return;
    }
    world.add_single(position.x, position.y, position.z);
}
