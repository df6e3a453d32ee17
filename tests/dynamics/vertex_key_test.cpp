#include <gtest/gtest.h>

#include <random>

#include "dynamics/SurfaceVertexSet.h"

namespace {

uint64_t high_word(VertexKey key) { return static_cast<uint64_t>(key >> 64); }
uint64_t low_word(VertexKey key) { return static_cast<uint64_t>(key); }

TEST(VertexKey, OutOfRangeCoordinatesWrapWithoutSpillingIntoOthers) {
    EXPECT_EQ(low_word(SurfaceVertexSet(3).make_key(512, 0, 0xFFFFFFFFu)), 511u);
}

// Against the plain model: unpacking inverts packing, and keys compare as the (x, y, z) triples do.
TEST(VertexKey, RoundTripAndOrderMatchCoordinatesForEveryLevelCount) {
    std::mt19937 rng(7);
    for (uint32_t levels = 1; levels <= 8; ++levels) {
        SurfaceVertexSet set(levels);
        std::uniform_int_distribution<uint32_t> any(0, (1u << (3 * levels)) - 1), low(0, 2);
        auto random_point = [&] {  // near-equal points exercise ties on x and y
            return low(rng) == 0 ? VertexCoordinates{low(rng), low(rng), low(rng)}
                                 : VertexCoordinates{any(rng), any(rng), any(rng)};
        };
        for (int i = 0; i < 2000; ++i) {
            const VertexCoordinates a = random_point(), b = random_point();
            const VertexKey ka = set.make_key(a.x, a.y, a.z), kb = set.make_key(b.x, b.y, b.z);
            ASSERT_TRUE(set.split_key(ka) == a) << "levels " << levels;
            ASSERT_EQ(ka < kb, a < b) << "levels " << levels;
            ASSERT_EQ(ka == kb, a == b) << "levels " << levels;
            ASSERT_TRUE(levels == 8 || high_word(ka) == 0) << "up to 7 levels keys fit in 64 bits";
        }
    }
}

}  // namespace
