#include "grid/World.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "grid/SurfaceMaintenance.h"
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
      boundary_flag_(boundary_flag),
      mirror_(MirrorSymmetry::centred(grid_->side())) {
    grid_->set_change_observer(&history_);
}

bool World::in_safe_range(uint32_t x, uint32_t y, uint32_t z) const {
    const uint32_t last = grid_->side() - 3;
    return x >= 2 && x <= last && y >= 2 && y <= last && z >= 2 && z <= last;
}

void World::set_mirror_axes(bool x, bool y, bool z) {
    mirror_.axes[0] = x;
    mirror_.axes[1] = y;
    mirror_.axes[2] = z;
}

void World::set_mirror_centre(VoxelPosition v) {
    mirror_.twice_centre[0] = 2 * v.x + 1;
    mirror_.twice_centre[1] = 2 * v.y + 1;
    mirror_.twice_centre[2] = 2 * v.z + 1;
}

std::unique_ptr<VoxelGrid> World::replace_grid(std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag) {
    auto vertices = std::make_unique<SurfaceVertexSet>(grid->levels());
    build_vertex_set(*vertices, *grid, boundary_flag);
    grid->set_change_observer(&history_);
    std::unique_ptr<VoxelGrid> old = std::move(grid_);
    old->set_change_observer(nullptr);
    grid_ = std::move(grid);
    vertices_->clear();
    vertices_ = std::move(vertices);
    boundary_flag_ = boundary_flag;
    return old;
}

void World::end_step() { history_.end_step(*grid_); }

bool World::undo() {
    end_step();
    EditStep* step = history_.next_undo();
    if (step == nullptr) return false;
    apply_step(*step, true);
    history_.finish_undo();
    return true;
}

bool World::redo() {
    end_step();
    EditStep* step = history_.next_redo();
    if (step == nullptr) return false;
    apply_step(*step, false);
    history_.finish_redo();
    return true;
}

// A replacement swaps the grids (and the mirror centres) both ways; an edit
// step restores its entries and updates the surface around the voxels that
// changed, as an edit of those voxels does.
void World::apply_step(EditStep& step, bool to_before) {
    if (step.replaces_grid()) {
        const uint32_t flag = boundary_flag_;
        step.other_grid = replace_grid(std::move(step.other_grid), step.other_boundary_flag);
        step.other_boundary_flag = flag;
        for (int axis = 0; axis < 3; ++axis) std::swap(mirror_.twice_centre[axis], step.other_twice_centre[axis]);
        return;
    }
    const RestoredVoxels changed = restore_step(*grid_, step, to_before);
    update_after_changes(*this, changed.added, changed.removed);
}

void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag) {
    if (!grid) return;
    world.end_step();
    const uint32_t flag = world.boundary_flag_;
    const uint32_t side = grid->side();
    std::unique_ptr<VoxelGrid> old = world.replace_grid(std::move(grid), boundary_flag);
    world.history_.record_replacement(std::move(old), flag, world.mirror_.twice_centre);
    const MirrorSymmetry centred = MirrorSymmetry::centred(side);
    std::copy(centred.twice_centre, centred.twice_centre + 3, world.mirror_.twice_centre);
}
