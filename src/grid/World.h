#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dynamics/SurfaceVertexSet.h"
#include "grid/EditHistory.h"
#include "grid/MirrorSymmetry.h"
#include "grid/VoxelGrid.h"
#include "grid/VoxelPosition.h"

// The edited model: the voxel grid, the surface vertex set that follows it,
// and the boundary flag that says what lies beyond the grid's faces (1: solid,
// 0: clear). The edit operations keep two rules: edits stay inside the safe
// range 2 .. side - 3 on every axis, and every solid voxel they leave keeps a
// solid neighbour on each axis (it is supported). Each edit ends with the
// local surface update, so the vertex set always matches the grid, except
// after changes made to the grid directly.
//
// Every voxel change, through the edits or made to the grid directly with
// set_voxel and clear_voxel, is recorded in the world's edit history: a step
// opens at the first change and closes at end_step (a stroke, a key's clear),
// and each grid installed is a step of its own. undo and redo put the grid
// back exactly, entries and file order included, and update the surface
// around the voxels that changed.
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

    // Closes the open step of the edit history, if any: what changed since
    // it opened becomes one undo step (none when nothing changed).
    void end_step();
    // Close the open step, then undo (redo) one step; false when there was
    // none.
    bool undo();
    bool redo();
    size_t undo_count() const { return history_.undo_count(); }
    size_t redo_count() const { return history_.redo_count(); }
    // The most memory the history may keep; see EditHistory::set_budget.
    void set_undo_budget(size_t bytes) { history_.set_budget(bytes); }
    const EditHistory& history() const { return history_; }
    // A number naming the grid's contents: it takes a value never used
    // before at every edit that left at least one voxel changed and for
    // every grid installed, and undo and redo give back the number the
    // restored contents had; nothing else moves it. A host compares it with
    // the number it noted at a save.
    uint64_t change_count() const { return history_.state(); }
    // For edits made to the grid directly; closing their step counts them
    // too.
    void count_change() { history_.note_change(); }

    // The mirror planes of the brushes. install_grid puts the centre in the
    // middle of the new grid.
    const MirrorSymmetry& mirror() const { return mirror_; }
    void set_mirror_axes(bool x, bool y, bool z);
    // Mirror planes through the middle of voxel v (so v maps onto itself).
    void set_mirror_centre(VoxelPosition v);

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

    // Runs `remove_voxels()`, whose calls of clear_and_cascade each clear a
    // voxel and its cascade, then updates the surface once around all the
    // voxels cleared. The grid and the surface end as after remove_voxel on
    // each voxel in turn, but overlapping neighbourhoods are updated once.
    // The surface is updated also when remove_voxels throws; the exception
    // then goes on.
    template <typename RemoveVoxels>
    void remove_and_update(RemoveVoxels&& remove_voxels);
    // Within remove_and_update: clears a voxel of the safe range and the
    // voxels this leaves unsupported; the change list then holds them, as
    // after remove_voxel. The surface update is left to remove_and_update
    // (called alone, to the next one).
    void clear_and_cascade(uint32_t x, uint32_t y, uint32_t z);

    // reset_changes, then `add_voxels()` (which calls add_voxel), then
    // settle_additions. The additions settle also when add_voxels throws, so
    // no unsupported voxel stays behind; the exception then goes on.
    template <typename AddVoxels>
    void add_and_settle(AddVoxels&& add_voxels);

private:
    friend void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);

    // Makes `grid` current with a vertex set built for it; returns the grid
    // it replaced, no longer observed.
    std::unique_ptr<VoxelGrid> replace_grid(std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);
    // Applies an undo (to_before) or redo step.
    void apply_step(EditStep& step, bool to_before);

    // The surface update for the voxels cleared since the last one.
    void update_after_removals();

    // Updates the surface when an exception leaves the removal loop.
    class RemovalGuard {
    public:
        explicit RemovalGuard(World& world) : world_(world) {}
        ~RemovalGuard();
        void update_now();

    private:
        World& world_;
        bool updated_ = false;
    };

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

    // Declared before the grid, which reports to it, so that it outlives it.
    EditHistory history_;
    std::unique_ptr<VoxelGrid> grid_;
    std::unique_ptr<SurfaceVertexSet> vertices_;
    uint32_t boundary_flag_;
    std::vector<VoxelPosition> changes_;
    std::vector<VoxelPosition> scratch_;  // settle_additions' second list
    std::vector<VoxelPosition> removed_;  // cleared since the last surface update after removals
    MirrorSymmetry mirror_;
};

// Makes `grid` the world's grid with `boundary_flag`, together with a vertex
// set built for it from scratch. The new set is complete before the old grid
// and set are destroyed, so a failure during the build leaves the world as it
// was. A null grid changes nothing. The replacement is one undo step (the
// open step is closed first), and the mirror centre moves to the middle of
// the new grid.
void install_grid(World& world, std::unique_ptr<VoxelGrid> grid, uint32_t boundary_flag);

template <typename AddVoxels>
void World::add_and_settle(AddVoxels&& add_voxels) {
    reset_changes();
    SettleGuard guard(*this);
    add_voxels();
    guard.settle_now();
}

template <typename RemoveVoxels>
void World::remove_and_update(RemoveVoxels&& remove_voxels) {
    RemovalGuard guard(*this);
    remove_voxels();
    guard.update_now();
}
