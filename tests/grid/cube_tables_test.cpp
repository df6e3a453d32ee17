#include <gtest/gtest.h>

#include <array>
#include <bitset>

#include "grid/CubeTables.h"

namespace {

using Point = std::array<int, 3>;

Point corner_position(unsigned corner) {
    return {int(corner >> 2 & 1), int(corner >> 1 & 1), int(corner & 1)};
}

bool is_solid(unsigned cube_case, unsigned corner) { return (cube_case >> corner & 1) != 0; }

Point difference(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

int dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Point triangle_normal(const CubeTriangle& t) {
    const Point p0 = corner_position(t[0]);
    const Point a = difference(corner_position(t[1]), p0), b = difference(corner_position(t[2]), p0);
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

TEST(CubeTables, TrianglesNameOnlySolidCornersOfTheirCase) {
    unsigned cases_with_triangles = 0;
    for (unsigned c = 0; c < kCubeCases; ++c) {
        const CubeTriangles triangles = triangles_of(c);
        EXPECT_LE(triangles.size(), 3u);
        if (std::bitset<8>(c).count() < 3) {
            EXPECT_TRUE(triangles.empty()) << c;
        }
        if (!triangles.empty()) ++cases_with_triangles;
        for (const CubeTriangle& t : triangles) {
            EXPECT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]) << c;
            for (unsigned corner : t) EXPECT_TRUE(corner < 8 && is_solid(c, corner)) << c;
        }
    }
    EXPECT_EQ(cases_with_triangles, 178u);
    EXPECT_TRUE(triangles_of(0).empty());
    EXPECT_TRUE(triangles_of(255).empty());
    EXPECT_TRUE(triangles_of(256).empty());

    const CubeTriangles case61 = triangles_of(61);
    ASSERT_EQ(case61.size(), 3u);
    EXPECT_EQ(case61[0], (CubeTriangle{4, 2, 3}));
    EXPECT_EQ(case61[1], (CubeTriangle{4, 3, 0}));
    EXPECT_EQ(case61[2], (CubeTriangle{4, 0, 5}));
}

// Each triangle faces clear space: its normal never points from the clear
// corners' centroid toward the solid corners' centroid (the two can
// coincide), and the clear corners nearest to the triangle's centroid,
// among those off its plane, all lie in front of it.
TEST(CubeTables, TrianglesWindTowardsClearSpace) {
    for (unsigned c = 1; c < kCubeCases - 1; ++c) {
        const int solid_count = int(std::bitset<8>(c).count()), clear_count = 8 - solid_count;
        for (const CubeTriangle& t : triangles_of(c)) {
            const Point normal = triangle_normal(t), p0 = corner_position(t[0]);
            Point centroid3{};  // three times the triangle's centroid
            for (unsigned corner : t)
                for (int axis = 0; axis < 3; ++axis) centroid3[axis] += corner_position(corner)[axis];

            int towards_clear = 0;  // scaled by both counts to stay in integers
            int nearest = 1 << 30;
            bool nearest_in_front = true;
            for (unsigned j = 0; j < 8; ++j) {
                const Point p = corner_position(j);
                const int side = dot(normal, difference(p, p0));
                towards_clear += is_solid(c, j) ? -clear_count * side : solid_count * side;
                if (is_solid(c, j) || side == 0) continue;
                const Point offset = difference({3 * p[0], 3 * p[1], 3 * p[2]}, centroid3);
                const int distance2 = dot(offset, offset);
                if (distance2 < nearest) {
                    nearest = distance2;
                    nearest_in_front = side > 0;
                } else if (distance2 == nearest) {
                    nearest_in_front = nearest_in_front && side > 0;
                }
            }
            EXPECT_GE(towards_clear, 0) << "case " << c;
            EXPECT_TRUE(nearest_in_front) << "case " << c;
        }
    }
    for (const CubeTriangle& t : triangles_of(15)) EXPECT_GT(triangle_normal(t)[0], 0);  // faces +x
}

TEST(CubeTables, AdjacencyJoinsTheCornersOfEveryTriangleEdge) {
    for (unsigned c = 0; c < kCubeCases; ++c) {
        std::uint8_t expected[8] = {};
        for (const CubeTriangle& t : triangles_of(c)) {
            for (unsigned e = 0; e < 3; ++e) {
                expected[t[e]] |= std::uint8_t(1u << t[(e + 1) % 3]);
                expected[t[(e + 1) % 3]] |= std::uint8_t(1u << t[e]);
            }
        }
        for (unsigned corner = 0; corner < 8; ++corner)
            EXPECT_EQ(corner_adjacency(c, corner), expected[corner]) << c << " " << corner;
    }
    EXPECT_EQ(corner_adjacency(15, 8), 0);
    EXPECT_EQ(corner_adjacency(300, 0), 0);
}

}  // namespace
