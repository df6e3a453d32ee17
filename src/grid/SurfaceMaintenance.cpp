#include "grid/SurfaceMaintenance.h"

#include <algorithm>
#include <iterator>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/World.h"

void link_point(SurfaceVertexSet& vertices, const SurfaceNeighbours& neighbours, uint32_t x, uint32_t y,
                uint32_t z, bool allow_removal) {
    if (neighbours.empty()) {
        if (allow_removal) vertices.erase(vertices.make_key(x, y, z));
        return;
    }
    VertexIndex linked[26];
    for (uint32_t i = 0; i < neighbours.size(); ++i) {
        const VoxelPosition& n = neighbours[i];
        linked[i] = vertices.find_or_create_index(vertices.make_key(n.x, n.y, n.z));
    }
    vertices.set_vertex(vertices.make_key(x, y, z), neighbours.size(), linked);
}

void update_point(World& world, uint32_t x, uint32_t y, uint32_t z, bool allow_removal) {
    link_point(world.vertices(), collect_surface_neighbours(world.grid(), x, y, z), x, y, z, allow_removal);
}

namespace {

// Sorts and drops duplicates.
void compact(std::vector<VoxelPosition>& points) {
    std::sort(points.begin(), points.end(), ZyxOrder());
    points.erase(std::unique(points.begin(), points.end()), points.end());
}

// Candidates gathered before the list is first compacted: 48 MB. A long
// cascade gives millions of positions whose neighbourhoods overlap heavily;
// compacting whenever the list has doubled past this keeps the memory near
// the size of the result.
constexpr size_t kCompactAbove = size_t(1) << 22;

}  // namespace

std::vector<VoxelPosition> neighbourhood_points(const std::vector<VoxelPosition>& positions, uint32_t side) {
    std::vector<VoxelPosition> candidates;
    candidates.reserve(std::min(27 * positions.size(), kCompactAbove));
    size_t compacted = 0;
    for (const VoxelPosition& p : positions) {
        for (int dz = -1; dz <= 1; ++dz) {
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const VoxelPosition q{p.x + static_cast<uint32_t>(dx), p.y + static_cast<uint32_t>(dy),
                                          p.z + static_cast<uint32_t>(dz)};
                    // 0 and side - 1 (and wrapped values) fall outside 1 .. side - 2.
                    if (q.x - 1 >= side - 2 || q.y - 1 >= side - 2 || q.z - 1 >= side - 2) continue;
                    candidates.push_back(q);
                }
            }
        }
        if (candidates.size() > std::max(kCompactAbove, 2 * compacted)) {
            compact(candidates);
            compacted = candidates.size();
        }
    }
    compact(candidates);
    std::vector<VoxelPosition> given = positions;
    compact(given);
    std::vector<VoxelPosition> points;
    std::set_difference(candidates.begin(), candidates.end(), given.begin(), given.end(), std::back_inserter(points),
                        ZyxOrder());
    return points;
}

void update_neighbourhood(World& world, const std::vector<VoxelPosition>& positions) {
    for (const VoxelPosition& q : neighbourhood_points(positions, world.grid().side())) {
        update_point(world, q.x, q.y, q.z, true);
    }
}

void update_after_additions(World& world, const std::vector<VoxelPosition>& positions) {
    for (const VoxelPosition& p : positions) update_point(world, p.x, p.y, p.z, false);
    update_neighbourhood(world, positions);
}

void update_after_changes(World& world, const std::vector<VoxelPosition>& added,
                          const std::vector<VoxelPosition>& removed) {
    const uint32_t side = world.grid().side();
    for (const VoxelPosition& p : added) {
        if (p.x - 1 < side - 2 && p.y - 1 < side - 2 && p.z - 1 < side - 2) update_point(world, p.x, p.y, p.z, false);
    }
    std::vector<VoxelPosition> all = added;
    all.insert(all.end(), removed.begin(), removed.end());
    update_neighbourhood(world, all);
    for (const VoxelPosition& p : removed) update_point(world, p.x, p.y, p.z, true);
}
