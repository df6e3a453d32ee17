// The export of a box through the vertex3 callback, and the OBJ quad writer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "persistence/ObjQuadWriter.h"
#include "persistence/SquareExport.h"

namespace {

struct Vertex {
    float x, y, z;
};

std::vector<Vertex> received;

void record_vertex(float x, float y, float z) { received.push_back({x, y, z}); }

::testing::AssertionResult same_bits(const Vertex& a, const Vertex& b) {
    if (std::memcmp(&a, &b, sizeof a) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") vs (" << b.x << ", " << b.y
                                         << ", " << b.z << ") or signs of zero differ";
}

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        received.clear();
        set_vertex3_func(record_vertex);
    }
    void TearDown() override { set_vertex3_func(nullptr); }
};

TEST_F(Export, SingleVoxelSendsSixSquaresWithNegativeZeros) {
    VoxelGrid grid(2, false);
    grid.set_voxel(10, 10, 10);
    export_display_box(grid, {8, 8, 8, 12, 12, 12}, 8.0f, false);
    // Corners of the six faces: x pass (in, out), y pass, z pass.
    const uint32_t corners[24][3] = {
        {10, 10, 10}, {10, 10, 11}, {10, 11, 11}, {10, 11, 10}, {11, 10, 10}, {11, 11, 10}, {11, 11, 11}, {11, 10, 11},
        {10, 10, 10}, {11, 10, 10}, {11, 10, 11}, {10, 10, 11}, {10, 11, 10}, {10, 11, 11}, {11, 11, 11}, {11, 11, 10},
        {10, 10, 10}, {10, 11, 10}, {11, 11, 10}, {11, 10, 10}, {10, 10, 11}, {11, 10, 11}, {11, 11, 11}, {10, 11, 11}};
    ASSERT_EQ(received.size(), 24u);
    for (int i = 0; i < 24; ++i) {
        const float x = float(corners[i][0]) - 10, y = float(corners[i][1]) - 10, z = float(corners[i][2]) - 10;
        EXPECT_TRUE(same_bits(received[i], {x * 2, -(z * 2), y * 2})) << "call " << i;
    }
    EXPECT_TRUE(same_bits(received[0], {0.0f, -0.0f, 0.0f}));
    EXPECT_TRUE(same_bits(received[3], {0.0f, -0.0f, 2.0f}));
    EXPECT_TRUE(std::signbit(received[0].y));
}

// The largest extent is scaled to the maximum dimension; a box without extent
// uses the maximum dimension itself.
TEST_F(Export, ScaleComesFromTheLargestExtent) {
    const struct {
        IntBox box;
        float max_dim, scale;
    } cases[] = {{{0, 0, 0, 4, 1, 1}, 8, 2},     {{0, 0, 0, 1, 6, 2}, 3, 0.5f},      {{3, 3, 3, 4, 5, 11}, 4, 0.5f},
                 {{0, 0, 0, 10, 20, 20}, 5, 0.25f}, {{5, 5, 5, 5, 5, 5}, 3, 3}};
    for (const auto& c : cases) EXPECT_EQ(export_scale(c.box, c.max_dim), c.scale) << c.box.x1;

    const VoxelGrid solid(2, true);
    export_display_box(solid, {1, 0, 0, 10, 16, 16}, 8.0f, false);
    ASSERT_EQ(received.size(), 4u * 2 * (17 * 17 + 17 * 10 + 10 * 17));
    EXPECT_TRUE(same_bits(received[0], {-2.25f, 4.0f, -4.0f}));  // corner (1, 0, 0), centre (5.5, 8, 8), scale 0.5

    received.clear();
    VoxelGrid grid(2, false);
    grid.set_voxel(5, 5, 5);
    export_display_box(grid, {5, 5, 5, 5, 5, 5}, 3.0f, false);
    ASSERT_EQ(received.size(), 24u);
    EXPECT_TRUE(same_bits(received[1], {0.0f, -3.0f, 0.0f}));
    EXPECT_TRUE(same_bits(received[2], {0.0f, -3.0f, 3.0f}));
    for (const Vertex& v : received) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
}

TEST_F(Export, NothingHappensWithoutCallbackOrForABadBox) {
    // Walking this box would take hours: the export must return at once.
    const VoxelGrid huge(8, true);
    set_vertex3_func(nullptr);
    EXPECT_EQ(vertex3_func(), nullptr);
    export_display_box(huge, {0, 0, 0, huge.side() - 1, huge.side() - 1, huge.side() - 1}, 8.0f, false);
    set_vertex3_func(record_vertex);
    EXPECT_EQ(vertex3_func(), &record_vertex);
    const VoxelGrid grid(2, true);
    export_display_box(grid, {0, 0, 0, 64, 1, 1}, 8.0f, false);
    export_display_box(grid, {3, 0, 0, 2, 1, 1}, 8.0f, false);
    EXPECT_TRUE(received.empty());
}

TEST(ObjQuadWriter, SharesEqualCornersAndWritesShortestNumbers) {
    ObjQuadWriter writer;
    const float quads[9][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},         // first quad
                               {1, -0.0f, 0}, {2, 0, 0}, {2, 0.1f, 1e-7f}, {1, 1, 0},  // shares an edge
                               {7, 7, 7}};                                         // unfinished
    for (const auto& c : quads) writer.add_corner(c[0], c[1], c[2]);
    std::ostringstream out;
    writer.write(out);
    EXPECT_EQ(out.str(), "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 0.1 1e-07\nf 1 2 3 4\nf 2 5 6 3\n");
    EXPECT_EQ(writer.quad_count(), 2u);
    EXPECT_EQ(writer.vertex_count(), 6u);
}

}  // namespace
