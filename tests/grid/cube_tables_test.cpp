// The cube case table: triangles of solid corners that face clear space. The
// corner adjacency derived from it is checked through the surface
// neighbours, against the triangle edges, in surface_neighbours_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <bitset>
#include <vector>

#include "grid/CubeTables.h"

namespace {

using Point = std::array<int, 3>;

Point corner_position(unsigned corner) { return {int(corner >> 2 & 1), int(corner >> 1 & 1), int(corner & 1)}; }
Point difference(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
int dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Each triangle names three solid corners of its case and faces clear space:
// its normal never points from the clear corners' centroid toward the solid
// corners' centroid (the two can coincide), and the clear corners nearest to
// the triangle's centroid, among those off its plane, all lie in front of it.
TEST(CubeTables, TrianglesOfSolidCornersFaceClearSpace) {
    unsigned cases_with_triangles = 0;
    for (unsigned c = 0; c <= kCubeCases; ++c) {
        const int solid_count = int(std::bitset<8>(c).count()), clear_count = 8 - solid_count;
        auto solid = [&](unsigned corner) { return (c >> corner & 1) != 0; };
        const CubeTriangles triangles = triangles_of(c);
        EXPECT_TRUE(triangles.size() <= 3 && (solid_count >= 3 || triangles.empty()) && (c < 255 || triangles.empty())) << c;
        cases_with_triangles += !triangles.empty();
        for (const CubeTriangle& t : triangles) {
            EXPECT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2] && solid(t[0]) && solid(t[1]) && solid(t[2])) << c;
            const Point p0 = corner_position(t[0]);
            const Point a = difference(corner_position(t[1]), p0), b = difference(corner_position(t[2]), p0);
            const Point normal{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
            Point centroid3{};  // three times the triangle's centroid
            for (unsigned corner : t)
                for (int axis = 0; axis < 3; ++axis) centroid3[axis] += corner_position(corner)[axis];
            int towards_clear = 0;  // scaled by both counts to stay in integers
            int nearest = 1 << 30;
            bool nearest_in_front = true;
            for (unsigned j = 0; j < 8; ++j) {
                const Point p = corner_position(j);
                const int side = dot(normal, difference(p, p0));
                towards_clear += solid(j) ? -clear_count * side : solid_count * side;
                if (solid(j) || side == 0) continue;
                const Point offset = difference({3 * p[0], 3 * p[1], 3 * p[2]}, centroid3);
                const int distance2 = dot(offset, offset);
                if (distance2 > nearest) continue;
                nearest_in_front = (distance2 < nearest || nearest_in_front) && side > 0;
                nearest = distance2;
            }
            EXPECT_TRUE(towards_clear >= 0 && nearest_in_front) << "case " << c;
        }
    }
    EXPECT_EQ(cases_with_triangles, 178u);
    const CubeTriangles case61 = triangles_of(61);
    EXPECT_EQ(std::vector<CubeTriangle>(case61.begin(), case61.end()), (std::vector<CubeTriangle>{{4, 2, 3}, {4, 3, 0}, {4, 0, 5}}));
    EXPECT_EQ(corner_adjacency(6, 8) | corner_adjacency(300, 0), 0);  // out of range (the next row joins corner 0)
}

}  // namespace
