#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/VoxelGrid.h"
#include "grid/VoxelPosition.h"

// The edited model: the voxel grid, the surface vertex set that follows it,
// and the boundary flag that says what lies beyond the grid's faces (1: solid,
// 0: clear). The edit operations keep two rules: edits stay inside the safe
// range 2 .. side - 3 on every axis, and every solid voxel they leave keeps a
// solid neighbour on each axis (it is supported). Each edit ends with the
// local surface update, so the vertex set always matches the grid, except
// after changes made to the grid directly.
class World {
public:
    // The editor's start: a solid grid of 3 levels, boundary flag 1 and an
    // empty vertex set (nothing of a solid grid lies on the surface).
    World();
    // Takes the grid with an empty vertex set for its level count. The set is
    // not built: use install_grid for a grid that has a surface.
    World(std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);

    World(const World&) = delete;
    World& operator=(const World&) = delete;

    VoxelGrid& grid() { return *grid_; }
    const VoxelGrid& grid() const { return *grid_; }
    SurfaceVertexSet& vertices() { return *vertices_; }
    const SurfaceVertexSet& vertices() const { return *vertices_; }
    uint32_t boundary_flag() const { return boundary_flag_; }

    // The voxels changed by the last edit, in the order they changed: the
    // additions kept by the last add, or the voxel and its cascade removed by
    // the last removal.
    const std::vector<VoxelPosition>& changes() const { return changes_; }

    // True when every coordinate lies in 2 .. side - 3, so that every voxel
    // the surface upkeep looks at lies inside the grid.
    bool in_safe_range(uint32_t x, uint32_t y, uint32_t z) const;

    // Moves by one for every edit that left at least one voxel changed and
    // for every grid installed; nothing else moves it. A host compares it
    // with the value it had when the grid was saved.
    uint64_t change_count() const { return change_count_; }
    // For edits made to the grid directly.
    void count_change() { ++change_count_; }

    // Empties the change list.
    void reset_changes();
    // Makes a voxel of the safe range solid and records it when it was
    // clear. No settling and no surface update: see settle_additions.
    void add_voxel(uint32_t x, uint32_t y, uint32_t z);
    // Clears again every recorded addition that is not supported, pass after
    // pass until none is left unsupported, then updates the surface around
    // the additions that stay; the change list ends holding them.
    void settle_additions();
    // reset_changes, add_voxel and settle_additions for one voxel of the safe
    // range; a voxel outside it is ignored altogether.
    void add_single(uint32_t x, uint32_t y, uint32_t z);
    // Clears a voxel of the safe range, then every voxel this leaves
    // unsupported (the cascade), and updates the surface around them. The
    // change list ends holding the voxel and its cascade.
    void remove_voxel(uint32_t x, uint32_t y, uint32_t z);

    // reset_changes, then `add_voxels()` (which calls add_voxel), then
    // settle_additions. The additions settle also when add_voxels throws, so
    // no unsupported voxel stays behind; the exception then goes on.
    template <typename AddVoxels>
    void add_and_settle(AddVoxels&& add_voxels);

private:
    friend void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);

    // Settles the additions when an exception leaves the add loop.
    class SettleGuard {
    public:
        explicit SettleGuard(World& world) : world_(world) {}
        ~SettleGuard();
        void settle_now();

    private:
        World& world_;
        bool settled_ = false;
    };

    std::unique_ptr<VoxelGrid> grid_;
    std::unique_ptr<SurfaceVertexSet> vertices_;
    uint32_t boundary_flag_;
    std::vector<VoxelPosition> changes_;
    std::vector<VoxelPosition> scratch_;  // settle_additions' second list
    uint64_t change_count_ = 0;
};

// Makes `grid` the world's grid with `boundary_flag`, together with a vertex
// set built for it from scratch. The new set is complete before the old grid
// and set are destroyed, so a failure during the build leaves the world as it
// was. A null grid changes nothing.
void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);

template <typename AddVoxels>
void World::add_and_settle(AddVoxels&& add_voxels) {
    reset_changes();
    SettleGuard guard(*this);
    add_voxels();
    guard.settle_now();
}
