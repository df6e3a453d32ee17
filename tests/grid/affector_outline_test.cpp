// The brushes' outlines, recorded through a fake drawer.
#include <gtest/gtest.h>

#include <vector>

#include "grid/GridAffector.h"
#include "render/PrimitiveDrawer.h"

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

TEST(AffectorOutlines, CubesStopShortOfTheNextVoxel) {
    const float r = 1.9999f;
    EXPECT_EQ(outline(0, {10, 20, 30}), (std::vector<Box>{{10, 20, 30, 10 + r, 20 + r, 30 + r}}));
    EXPECT_EQ(outline(1, {10, 20, 30}), (std::vector<Box>{unit(10, 20, 30)}));
    EXPECT_EQ(outline(2, {10, 20, 30}), (std::vector<Box>{{9, 19, 29, 10 + r, 20 + r, 30 + r}}));
    EXPECT_EQ(outline(2, {0, 0, 0}), (std::vector<Box>{{-1, -1, -1, r, r, r}}));  // below zero at the corner
    const uint32_t big = (1u << 24) + 1;  // the anchor is rounded to a float first
    EXPECT_EQ(outline(1, {big, 0, 0})[0][3], static_cast<float>(big) + 1.0f);
}

TEST(AffectorOutlines, OtherShapesOutlineTheirVoxelsInOrder) {
    const std::vector<Box> cross = outline(3, {10, 20, 30});
    ASSERT_EQ(cross.size(), 19u);
    EXPECT_EQ(cross[0], unit(10, 20, 30));
    EXPECT_EQ(cross[3], unit(10, 20, 33));
    EXPECT_EQ(cross[6], unit(10, 20, 27));
    EXPECT_EQ(cross[12], unit(10, 17, 30));
    EXPECT_EQ(cross[18], unit(7, 20, 30));
    EXPECT_EQ(outline(4, {1, 2, 3}), (std::vector<Box>{unit(1, 2, 3), unit(2, 2, 3), unit(3, 2, 3), unit(4, 2, 3)}));
    EXPECT_EQ(outline(5, {1, 2, 3})[3], unit(1, 5, 3));
    EXPECT_EQ(outline(6, {1, 2, 3})[3], unit(1, 2, 6));
    const std::vector<Box> bar = outline(7, {100, 200, 300});
    ASSERT_EQ(bar.size(), 16u);
    EXPECT_EQ(bar[0], (Box{100, 200, 300, 101, 202, 302}));
    EXPECT_EQ(bar[15], (Box{115, 200, 300, 116, 202, 302}));
}

}  // namespace
