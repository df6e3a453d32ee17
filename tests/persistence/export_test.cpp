// The export of a box through the vertex3 callback, and the OBJ quad writer.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <sstream>
#include <vector>

#include "grid/BoxTraversal.h"
#include "grid/traversal_model.h"
#include "persistence/ObjQuadWriter.h"
#include "persistence/SquareExport.h"

namespace {

std::vector<std::array<float, 3>> received;

void record_vertex(float x, float y, float z) { received.push_back({x, y, z}); }

// The squares of visit_box_squares, four corners each, moved to the box's
// centre, scaled so that the largest extent (or, without one, the voxel)
// spans the maximum dimension and turned a quarter about x to
// (x, -z, y), bit for bit: a zero middle coordinate arrives as -0. Nothing
// is sent without a callback (a box whose walk would take hours returns at
// once) or for a box that is reversed or reaches outside the grid.
TEST(Export, SendsTheSquaresCornersCentredScaledAndTurned) {
    VoxelGrid grid(2, false);
    grid.set_voxel(10, 10, 10);
    grid.set_voxel(3, 9, 5);
    set_vertex3_func(record_vertex);
    const std::pair<IntBox, double> boxes[] = {{{8, 8, 8, 16, 12, 12}, 1}, {{1, 0, 0, 10, 16, 12}, 0.5},
                                               {{1, 0, 0, 10, 12, 16}, 0.5}, {{10, 10, 10, 10, 10, 10}, 8}};
    for (const auto& [box, box_scale] : boxes)
        for (bool outside_solid : {false, true}) {
            const double scale = box_scale;  // a lambda below reads it
            received.clear();
            export_display_box(grid, box, 8.0f, outside_solid);
            traversal_model::RecordingVisitor squares;
            visit_box_squares(grid, box, squares, outside_solid);
            const double centre[3] = {(box.x0 + box.x1) / 2.0, (box.y0 + box.y1) / 2.0, (box.z0 + box.z1) / 2.0};
            std::vector<std::array<float, 3>> expected;
            for (const auto& event : squares.events) {
                for (int c = 0; event[0] == 's' && c < 4; ++c) {
                    auto at = [&](int axis) { return (event[1 + 3 * c + axis] - centre[axis]) * scale; };
                    expected.push_back({float(at(0)), float(-at(2)), float(at(1))});
                }
            }
            ASSERT_EQ(received.size(), expected.size());
            EXPECT_TRUE(expected.empty() || std::memcmp(received.data(), expected.data(), expected.size() * sizeof expected[0]) == 0);
        }
    received.clear();
    export_display_box(grid, {0, 0, 0, 64, 1, 1}, 8.0f, false);
    export_display_box(grid, {3, 0, 0, 2, 1, 1}, 8.0f, false);
    set_vertex3_func(nullptr);
    EXPECT_EQ(vertex3_func(), nullptr);
    const VoxelGrid huge(8, true);
    export_display_box(huge, {0, 0, 0, huge.side() - 1, huge.side() - 1, huge.side() - 1}, 8.0f, false);
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
