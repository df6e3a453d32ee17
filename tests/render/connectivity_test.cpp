// The connectivity overlay through a recording overlay drawer.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "render/Connectivity.h"

namespace {

// Writes every call as one short line.
class RecordingOverlay final : public OverlayDrawer {
public:
    void begin(uint32_t kind) override { out << "begin " << kind << '\n'; }
    void end() override { out << "end\n"; }
    void set_colour(const float rgba[4]) override {
        out << "colour " << rgba[0] << ' ' << rgba[1] << ' ' << rgba[2] << ' ' << rgba[3] << '\n';
    }
    void segment(const Vector3& a, const Vector3& b) override {
        out << "segment " << a.x << ' ' << a.y << ' ' << a.z << " to " << b.x << ' ' << b.y << ' ' << b.z << '\n';
    }
    void set_point_size(float size) override { out << "size " << size << '\n'; }
    void point(const Vector3& a) override { out << "point " << a.x << ' ' << a.y << ' ' << a.z << '\n'; }
    std::ostringstream out;
};

TEST(Connectivity, HalfLinksInKeyOrderAndLonelyVerticesInPink) {
    SurfaceVertexSet set(3);
    auto key = [&](uint32_t x, uint32_t y, uint32_t z) { return set.make_key(x, y, z); };
    const VertexIndex a = set.find_or_create_index(key(5, 5, 6));
    const VertexIndex b = set.find_or_create_index(key(5, 7, 5));
    set.find_or_create(key(4, 9, 9));    // lonely, inside
    set.find_or_create(key(20, 5, 5));   // outside the box: not drawn
    const VertexIndex a_links[] = {b};
    const VertexIndex b_links[] = {a, set.find_or_create_index(key(20, 5, 5))};
    set.set_vertex(key(5, 5, 6), 1, a_links);
    set.set_vertex(key(5, 7, 5), 2, b_links);

    RecordingOverlay drawer;
    draw_connectivity(set, IntBox{4, 5, 5, 6, 9, 9}, drawer);
    EXPECT_EQ(drawer.out.str(),
              "colour 0.8 0.8 0.9 1\nsize 8\nbegin 0\n"
              // (4, 9, 9) comes first in key order
              "colour 1 0.8 0.8 1\nsegment 4 9 9 to 0 0 0\nend\nbegin 1\npoint 4 9 9\nend\nbegin 0\n"
              "colour 0.8 0.8 0.9 1\n"
              "segment 5 5 6 to 5 6 5.5\n"
              "segment 5 7 5 to 5 6 5.5\nsegment 5 7 5 to 12.5 6 5\n"
              "end\n");
}

}  // namespace
