// The World's edit operations: additions that settle, and removals that
// cascade, each followed by the local surface update.
#include <utility>

#include "grid/SurfaceMaintenance.h"
#include "grid/VoxelSupport.h"
#include "grid/World.h"

void World::reset_changes() {
    changes_.clear();
}

void World::add_voxel(uint32_t x, uint32_t y, uint32_t z) {
    if (!in_safe_range(x, y, z)) return;
    if (!grid_->set_voxel(x, y, z)) changes_.push_back(VoxelPosition{x, y, z});
}

void World::settle_additions() {
    // Passes alternate between the two lists; a voxel cleared in one pass can
    // leave one kept earlier unsupported, hence the repeat.
    scratch_.clear();
    scratch_.reserve(changes_.size());
    std::vector<VoxelPosition>* input = &changes_;
    std::vector<VoxelPosition>* output = &scratch_;
    for (;;) {
        output->clear();
        for (const VoxelPosition& p : *input) {
            if (is_supported(*grid_, p.x, p.y, p.z)) {
                output->push_back(p);
            } else {
                grid_->clear_voxel(p.x, p.y, p.z);
            }
        }
        if (output->size() == input->size()) break;
        std::swap(input, output);
    }
    if (output != &changes_) changes_.swap(scratch_);
    if (!changes_.empty()) count_change();
    update_after_additions(*this, changes_);
}

void World::add_single(uint32_t x, uint32_t y, uint32_t z) {
    if (!in_safe_range(x, y, z)) return;
    reset_changes();
    add_voxel(x, y, z);
    settle_additions();
}

void World::remove_voxel(uint32_t x, uint32_t y, uint32_t z) {
    if (!in_safe_range(x, y, z)) return;
    if (!grid_->clear_voxel(x, y, z)) return;
    count_change();
    changes_.clear();
    changes_.push_back(VoxelPosition{x, y, z});
    remove_unsupported_neighbours(*grid_, x, y, z, changes_);
    // The neighbours are relinked first, so that no vertex still points at a
    // removed voxel's vertex when that one is erased.
    update_neighbourhood(*this, changes_);
    for (const VoxelPosition& p : changes_) update_point(*this, p.x, p.y, p.z, true);
}

World::SettleGuard::~SettleGuard() {
    if (settled_) return;
    // Reached only while an exception leaves the add loop; a second failure
    // here cannot be reported, and the first one is on its way out already.
    try {
        world_.settle_additions();
    } catch (...) {
    }
}

void World::SettleGuard::settle_now() {
    settled_ = true;
    world_.settle_additions();
}
