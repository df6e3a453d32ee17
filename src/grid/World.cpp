#include "grid/World.h"

#include <stdexcept>

#include "grid/VertexSetBuilder.h"

namespace {

constexpr long kStartLevels = 3;

std::unique_ptr<VoxelGrid> non_null(std::unique_ptr<VoxelGrid> grid) {
    if (!grid) throw std::invalid_argument("a world needs a grid");
    return grid;
}

}  // namespace

World::World() : World(std::make_unique<VoxelGrid>(kStartLevels, true), 1) {}

World::World(std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag)
    : grid_(non_null(std::move(grid))),
      vertices_(std::make_unique<SurfaceVertexSet>(grid_->levels())),
      boundary_flag_(boundary_flag) {}

bool World::in_safe_range(uint32_t x, uint32_t y, uint32_t z) const {
    const uint32_t last = grid_->side() - 3;
    return x >= 2 && x <= last && y >= 2 && y <= last && z >= 2 && z <= last;
}

void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag) {
    if (!grid) return;
    auto vertices = std::make_unique<SurfaceVertexSet>(grid->levels());
    build_vertex_set(*vertices, *grid, boundary_flag);
    world.grid_ = std::move(grid);
    world.vertices_->clear();
    world.vertices_ = std::move(vertices);
    world.boundary_flag_ = boundary_flag;
    world.count_change();
}
