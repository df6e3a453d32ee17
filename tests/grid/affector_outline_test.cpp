// The brushes' outlines, recorded through a fake drawer.
#include <gtest/gtest.h>

#include <vector>

#include "affector_model.h"
#include "grid/GridAffector.h"
#include "math/PrimitiveDrawer.h"

namespace {

using Box = std::array<float, 6>;  // lower x, y, z, upper x, y, z

class RecordingDrawer : public PrimitiveDrawer {
public:
    void draw_box_outline(const Vector3& a, const Vector3& b) override { boxes.push_back({a.x, a.y, a.z, b.x, b.y, b.z}); }
    void draw_line(const Vector3&, const Vector3&) override { ADD_FAILURE(); }
    void draw_triangles(const float*, const float*, const uint32_t*, uint32_t) override { ADD_FAILURE(); }
    std::vector<Box> boxes;
};

std::vector<Box> outline(size_t brush, VoxelPosition at) {
    RecordingDrawer drawer;
    make_grid_affectors()[brush]->draw_shape(drawer, at);
    return drawer.boxes;
}

Box unit(float x, float y, float z) { return {x, y, z, x + 1, y + 1, z + 1}; }

TEST(AffectorOutlines, CubesAreOneBoxOtherShapesOneBoxPerVoxel) {
    const float r = 1.9999f;  // cubes stop short of the next voxel
    EXPECT_EQ(outline(0, {10, 20, 30}), (std::vector<Box>{{10, 20, 30, 10 + r, 20 + r, 30 + r}}));
    EXPECT_EQ(outline(1, {10, 20, 30}), (std::vector<Box>{unit(10, 20, 30)}));
    EXPECT_EQ(outline(2, {10, 20, 30}), (std::vector<Box>{{9, 19, 29, 10 + r, 20 + r, 30 + r}}));
    EXPECT_EQ(outline(2, {0, 0, 0}), (std::vector<Box>{{-1, -1, -1, r, r, r}}));  // below zero at the corner
    const uint32_t big = (1u << 24) + 1;  // the anchor is rounded to a float first
    EXPECT_EQ(outline(1, {big, 0, 0})[0][3], static_cast<float>(big) + 1.0f);

    for (int k = 3; k < 7; ++k) {  // the cross and the rows, voxel by voxel in edit order
        std::vector<Box> expected;
        for (const auto& o : affector_model::shape(k)) expected.push_back(unit(10.0f + o.dx, 20.0f + o.dy, 30.0f + o.dz));
        EXPECT_EQ(outline(k, {10, 20, 30}), expected) << grid_affector_name(k);
    }
    EXPECT_EQ(std::string(grid_affector_name(7)) + "|" + grid_affector_name(8), "bar x|");  // the others: GridToolTest
    const std::vector<Box> bar = outline(7, {100, 200, 300});
    ASSERT_EQ(bar.size(), 16u);
    EXPECT_EQ(bar[0], (Box{100, 200, 300, 101, 202, 302}));
    EXPECT_EQ(bar[15], (Box{115, 200, 300, 116, 202, 302}));
}

}  // namespace
