// The eight brushes of the editor, in cycle order.
#include <vector>

#include "grid/GridAffector.h"
#include "grid/ShapeAffector.h"

namespace {

// The cube outlines stop just short of the next voxel, so that the cursor of
// a cube sits inside the outline of the voxels around it.
constexpr float kCubeReach = 1.9999f;

OutlineBox unit_box(const ShapeOffset& v) {
    const float x = static_cast<float>(v.dx), y = static_cast<float>(v.dy), z = static_cast<float>(v.dz);
    return OutlineBox{{x, y, z}, {x + 1.0f, y + 1.0f, z + 1.0f}};
}

std::vector<OutlineBox> unit_boxes(const std::vector<ShapeOffset>& voxels) {
    std::vector<OutlineBox> boxes;
    for (const ShapeOffset& v : voxels) boxes.push_back(unit_box(v));
    return boxes;
}

// Every voxel of a cube of offsets from `high` down to `low` on each axis, x
// outermost, z innermost.
std::vector<ShapeOffset> cube_voxels(int32_t high, int32_t low) {
    std::vector<ShapeOffset> voxels;
    for (int32_t x = high; x >= low; --x)
        for (int32_t y = high; y >= low; --y)
            for (int32_t z = high; z >= low; --z) voxels.push_back(ShapeOffset{x, y, z});
    return voxels;
}

std::unique_ptr<GridAffector> cube(int32_t high, int32_t low) {
    const float l = static_cast<float>(low);
    return std::make_unique<ShapeAffector>(cube_voxels(high, low),
                                           std::vector<OutlineBox>{{{l, l, l}, {kCubeReach, kCubeReach, kCubeReach}}});
}

// The centre, then the arms along z, y and x, each reaching 3 voxels up and
// then 3 down.
std::unique_ptr<GridAffector> cross() {
    std::vector<ShapeOffset> voxels{ShapeOffset{0, 0, 0}};
    for (int32_t axis = 2; axis >= 0; --axis) {
        for (int32_t sign : {1, -1}) {
            for (int32_t d = 1; d <= 3; ++d) {
                ShapeOffset v;
                (axis == 0 ? v.dx : axis == 1 ? v.dy : v.dz) = sign * d;
                voxels.push_back(v);
            }
        }
    }
    return std::make_unique<ShapeAffector>(voxels, unit_boxes(voxels));
}

std::unique_ptr<GridAffector> row(int32_t ux, int32_t uy, int32_t uz) {
    std::vector<ShapeOffset> voxels;
    for (int32_t i = 0; i < 4; ++i) voxels.push_back(ShapeOffset{i * ux, i * uy, i * uz});
    return std::make_unique<ShapeAffector>(voxels, unit_boxes(voxels));
}

// Sixteen 1 x 2 x 2 slices along x; each slice is one outline box.
std::unique_ptr<GridAffector> bar() {
    std::vector<ShapeOffset> voxels;
    std::vector<OutlineBox> outline;
    for (int32_t i = 0; i < 16; ++i) {
        for (const ShapeOffset& v : {ShapeOffset{i, 0, 0}, ShapeOffset{i, 1, 0}, ShapeOffset{i, 0, 1},
                                     ShapeOffset{i, 1, 1}}) {
            voxels.push_back(v);
        }
        const float x = static_cast<float>(i);
        outline.push_back(OutlineBox{{x, 0.0f, 0.0f}, {x + 1.0f, 2.0f, 2.0f}});
    }
    return std::make_unique<ShapeAffector>(voxels, outline);
}

constexpr const char* kNames[kGridAffectorCount] = {"cube 2x2x2", "voxel", "cube 3x3x3", "cross",
                                                     "row x",      "row y", "row z",      "bar x"};

}  // namespace

std::array<std::unique_ptr<GridAffector>, kGridAffectorCount> make_grid_affectors() {
    return {cube(1, 0),  std::make_unique<SingleVoxelAffector>(), cube(1, -1), cross(),
            row(1, 0, 0), row(0, 1, 0), row(0, 0, 1), bar()};
}

const char* grid_affector_name(std::size_t index) {
    return index < kGridAffectorCount ? kNames[index] : "";
}
