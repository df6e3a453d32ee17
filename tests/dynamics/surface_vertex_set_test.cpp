#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "dynamics/SurfaceVertexSet.h"

namespace {

// What the set should hold for one vertex.
struct ModelVertex {
    std::vector<VertexCoordinates> neighbours;
    uint32_t stamp = 0;                      // a marker the test writes; the set must keep it
    const SurfaceVertex* address = nullptr;  // a vertex never moves while it exists
};

// Random find_or_create / set_vertex / erase / clear against an ordered map, on a 6 x 6 x 6 lattice of
// points `stride` apart. Erases come in runs now and then, so that freed records and neighbour runs are
// reused and the index table's probe runs are cut up.
void run_against_model(uint32_t levels, uint32_t stride, int steps) {
    SurfaceVertexSet set(levels);
    std::map<VertexCoordinates, ModelVertex> model;
    std::mt19937 rng(levels);
    std::uniform_int_distribution<uint32_t> coordinate(0, 5);
    auto key = [&](const VertexCoordinates& p) { return set.make_key(p.x, p.y, p.z); };
    auto indices_of = [&](const std::vector<VertexCoordinates>& points) {
        std::vector<VertexIndex> indices;
        for (const auto& p : points) indices.push_back(set.find_index(key(p)));
        return indices;
    };
    uint32_t marker = 0;
    int erase_run = 0;
    for (int step = 0; step < steps; ++step) {
        const VertexCoordinates p{coordinate(rng) * stride, coordinate(rng) * stride, coordinate(rng) * stride};
        if (erase_run == 0 && rng() % 40 == 0) erase_run = 30;
        const int op = erase_run > 0 ? (--erase_run, 80) : std::uniform_int_distribution<int>(0, 99)(rng);
        if (op < 70) {  // find_or_create, or set_vertex with up to five existing vertices, or (as the
                        // surface upkeep may) with a part of its own list, passed in place
            const SurfaceVertex* before = set.find(key(p));
            const bool own = op >= 60 && before != nullptr;
            std::vector<VertexCoordinates> chosen;
            const size_t count = op < 30 ? 0 : rng() % (std::min<size_t>(own ? before->neighbour_count() : model.size(), 5) + 1);
            for (size_t i = 0; i < count; ++i)
                chosen.push_back(own ? model[p].neighbours[i] : std::next(model.begin(), rng() % model.size())->first);
            const bool keeps_run = before != nullptr && before->neighbour_count() == count && count > 0 && op >= 30;
            const VertexIndex* old_run = before ? set.neighbours(*before) : nullptr;
            SurfaceVertex& vertex = op < 30 ? set.find_or_create(key(p))
                                            : set.set_vertex(key(p), uint32_t(count), own ? old_run : indices_of(chosen).data());
            ModelVertex& expected = model[p];
            if (expected.address == nullptr) expected.address = &vertex;
            ASSERT_EQ(vertex.stamp, expected.stamp) << "an existing vertex keeps its state";
            ASSERT_TRUE(!keeps_run || set.neighbours(vertex) == old_run) << "same count reuses the run";
            if (op >= 30) expected.neighbours = chosen;
            vertex.stamp = expected.stamp = ++marker;
        } else if (op < 98) {  // relink every vertex that lists p without it, then erase p
            for (auto& [q, m] : model) {
                auto& list = m.neighbours;
                if (std::find(list.begin(), list.end(), p) == list.end()) continue;
                list.erase(std::remove(list.begin(), list.end(), p), list.end());
                set.set_vertex(key(q), uint32_t(list.size()), indices_of(list).data());
            }
            set.erase(key(p));
            model.erase(p);
        } else {
            set.clear();
            model.clear();
        }

        ASSERT_EQ(set.size(), model.size());
        ASSERT_EQ(size_t(std::distance(set.begin(), set.end())), model.size());
        const std::vector<VertexIndex> order = set.key_order();
        ASSERT_EQ(order.size(), model.size());
        auto expected = model.begin();
        for (const VertexIndex index : order) {
            const SurfaceVertex& vertex = set.vertex(index);
            ASSERT_TRUE(vertex.voxel() == expected->first) << "vertices out of key order";
            ASSERT_EQ(&vertex, expected->second.address);
            ASSERT_EQ(set.find(set.key_of(vertex)), &vertex);
            ASSERT_EQ(set.find_index(set.key_of(vertex)), index);
            ASSERT_EQ(vertex.stamp, expected->second.stamp);
            ASSERT_EQ(vertex.neighbour_count(), expected->second.neighbours.size());
            for (uint32_t i = 0; i < vertex.neighbour_count(); ++i)
                ASSERT_TRUE(set.neighbour(vertex, i).voxel() == expected->second.neighbours[i]);
            ++expected;
        }
        ASSERT_EQ(set.find(key(p)) != nullptr, model.count(p) == 1);
    }
}

// Every level count with coordinates up to the grid's last voxel (eight
// levels: keys above 64 bits), and close points; coordinates beyond the
// grid wrap without spilling into the other fields.
TEST(SurfaceVertexSet, MatchesOrderedMapModelUnderRandomEdits) {
    for (uint32_t levels = 2; levels <= 8; ++levels) {
        const uint32_t last = (1u << (3 * levels)) - 1;
        run_against_model(levels, last / 5, 800);
        EXPECT_TRUE(SurfaceVertexSet(levels).make_key(last, last, last) == (VertexKey(1) << (9 * levels)) - 1);  // 3 bits a level
    }
    run_against_model(3, 1, 4000);
    EXPECT_TRUE(SurfaceVertexSet(3).make_key(512, 0, 0xFFFFFFFFu) == SurfaceVertexSet(3).make_key(0, 0, 511));
}

}  // namespace
