#include "render/Connectivity.h"

#include <vector>

namespace {

constexpr float kLinkColour[4] = {0.8f, 0.8f, 0.9f, 1.0f};
constexpr float kLonelyColour[4] = {1.0f, 0.8f, 0.8f, 1.0f};
constexpr float kLonelyPointSize = 8.0f;

bool inside(const IntBox& box, const VertexCoordinates& p) {
    return box.x0 <= p.x && p.x <= box.x1 && box.y0 <= p.y && p.y <= box.y1 && box.z0 <= p.z && p.z <= box.z1;
}

Vector3 as_point(const VertexCoordinates& p) {
    return Vector3(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
}

// The pink mark of a vertex without neighbours, between two line batches.
void draw_lonely_vertex(const Vector3& v, OverlayDrawer& drawer) {
    drawer.set_colour(kLonelyColour);
    drawer.segment(v, Vector3(0.0f, 0.0f, 0.0f));
    drawer.end();
    drawer.begin(OverlayDrawer::kPoints);
    drawer.point(v);
    drawer.end();
    drawer.begin(OverlayDrawer::kLines);
    drawer.set_colour(kLinkColour);
}

}  // namespace

void draw_connectivity(const SurfaceVertexSet& vertices, const IntBox& box, OverlayDrawer& drawer) {
    drawer.set_colour(kLinkColour);
    drawer.set_point_size(kLonelyPointSize);
    drawer.begin(OverlayDrawer::kLines);
    std::vector<VertexIndex> shown;
    for (auto it = vertices.begin(); it != vertices.end(); ++it) {
        if (inside(box, it->voxel())) shown.push_back(it.index());
    }
    vertices.sort_by_key(shown);
    for (const VertexIndex index : shown) {
        const SurfaceVertex& vertex = vertices.vertex(index);
        const Vector3 v = as_point(vertex.voxel());
        if (vertex.neighbour_count() == 0) {
            draw_lonely_vertex(v, drawer);
            continue;
        }
        for (uint32_t i = 0; i < vertex.neighbour_count(); ++i) {
            const Vector3 w = as_point(vertices.neighbour(vertex, i).voxel());
            drawer.segment(v, v + (w - v) * 0.5f);
        }
    }
    drawer.end();
}
