#include "exchange/GridImport.h"

#include <algorithm>
#include <unordered_set>

#include "exchange/ExchangeError.h"
#include "grid/SurfaceMaintenance.h"
#include "grid/VoxelGrid.h"
#include "grid/World.h"

namespace {

// Voxels per side in the safe range of a grid of `levels` levels.
uint64_t safe_side(long levels) { return (uint64_t(1) << (3 * levels)) - 4; }

std::string extent_text(const ModelExtent& e) {
    return std::to_string(e.x) + " x " + std::to_string(e.y) + " x " + std::to_string(e.z);
}

void refuse_empty(const ImportedModel& model, const std::string& name) {
    if (model.voxel_count() == 0) throw ExchangeError(name, "the model holds no solid voxel");
}

// Sets every voxel of the model, lower corner at `corner`; records the ones
// that were clear in `added` when given.
void place_model(VoxelGrid& grid, const ImportedModel& model, const VoxelPosition& corner,
                 std::vector<VoxelPosition>* added, const Progress& progress) {
    model.for_each_run(
        [&](uint32_t x, uint32_t y, uint32_t z_begin, uint32_t z_end) {
            const uint32_t gx = corner.x + x, gy = corner.y + y;
            for (uint32_t z = corner.z + z_begin; z < corner.z + z_end; ++z) {
                if (!grid.set_voxel(gx, gy, z) && added) added->push_back(VoxelPosition{gx, gy, z});
            }
        },
        progress);
}

// Membership of the added voxels: a bit per voxel of their bounding box
// when that is small enough, a hash set otherwise.
class AddedSet {
public:
    explicit AddedSet(const std::vector<VoxelPosition>& added) {
        if (added.empty()) return;
        low_ = high_ = added.front();
        for (const VoxelPosition& p : added) {
            low_ = VoxelPosition{std::min(low_.x, p.x), std::min(low_.y, p.y), std::min(low_.z, p.z)};
            high_ = VoxelPosition{std::max(high_.x, p.x), std::max(high_.y, p.y), std::max(high_.z, p.z)};
        }
        size_[0] = uint64_t(high_.x - low_.x) + 1;
        size_[1] = uint64_t(high_.y - low_.y) + 1;
        size_[2] = uint64_t(high_.z - low_.z) + 1;
        if (size_[0] * size_[1] * size_[2] <= kMaxDenseBits) {
            bits_.assign(size_[0] * size_[1] * size_[2], false);
            for (const VoxelPosition& p : added) bits_[index(p)] = true;
        } else {
            sparse_.insert(added.begin(), added.end());
        }
    }

    bool contains(const VoxelPosition& p) const {
        if (p.x < low_.x || p.y < low_.y || p.z < low_.z || p.x > high_.x || p.y > high_.y || p.z > high_.z) {
            return false;
        }
        return bits_.empty() ? sparse_.count(p) != 0 : bool(bits_[index(p)]);
    }

private:
    static constexpr uint64_t kMaxDenseBits = uint64_t(1) << 31;  // 256 MB at most

    struct Hash {
        size_t operator()(const VoxelPosition& p) const {
            return std::hash<uint64_t>()((uint64_t(p.x) * 0x9E3779B97F4A7C15ull) ^ (uint64_t(p.y) << 24) ^ p.z);
        }
    };

    uint64_t index(const VoxelPosition& p) const {
        return (uint64_t(p.z - low_.z) * size_[1] + (p.y - low_.y)) * size_[0] + (p.x - low_.x);
    }

    VoxelPosition low_, high_;
    uint64_t size_[3] = {};
    std::vector<bool> bits_;
    std::unordered_set<VoxelPosition, Hash> sparse_;
};

// The added voxels whose surface may have changed: all but those whose 26
// neighbours were all added too. Such a voxel was clear before and is
// enclosed now, so it had no surface vertex and gets none; and every point
// next to it is an added voxel, so no point the update must reach is reached
// only through it. A solid model keeps only its skin for the update.
std::vector<VoxelPosition> voxels_to_update(const std::vector<VoxelPosition>& added) {
    const AddedSet set(added);
    std::vector<VoxelPosition> skin;
    for (const VoxelPosition& p : added) {
        bool enclosed = true;
        for (int dz = -1; dz <= 1 && enclosed; ++dz)
            for (int dy = -1; dy <= 1 && enclosed; ++dy)
                for (int dx = -1; dx <= 1 && enclosed; ++dx) {
                    enclosed = set.contains(VoxelPosition{p.x + dx, p.y + dy, p.z + dz});
                }
        if (!enclosed) skin.push_back(p);
    }
    return skin;
}

}  // namespace

long levels_to_hold(const ModelExtent& extent) {
    for (long levels = VoxelGrid::kMinLevels; levels <= VoxelGrid::kMaxLevels; ++levels) {
        if (extent.longest() <= safe_side(levels)) return levels;
    }
    return 0;
}

std::unique_ptr<VoxelGrid> import_into_new_grid(const ImportedModel& model, long levels, const std::string& name,
                                                const Progress& progress) {
    refuse_empty(model, name);
    const ModelExtent extent = model.extent();
    if (levels == 0) {
        levels = levels_to_hold(extent);
        if (levels == 0) {
            throw ExchangeError(name, "the model (" + extent_text(extent) +
                                          " voxels) needs more than 8 levels, the largest grid");
        }
    }
    if (!VoxelGrid::supports_levels(levels)) {
        throw ExchangeError(name, "a grid has 2 to 8 levels, not " + std::to_string(levels));
    }
    if (extent.longest() > safe_side(levels)) {
        throw ExchangeError(name, "the model (" + extent_text(extent) + " voxels) does not fit a grid of " +
                                      std::to_string(levels) + " levels (" + std::to_string(safe_side(levels)) +
                                      " voxels per side can be set)");
    }
    auto grid = std::make_unique<VoxelGrid>(levels, false);
    const uint64_t side = grid->side();
    const VoxelPosition corner{uint32_t((side - extent.x) / 2), uint32_t((side - extent.y) / 2),
                               uint32_t((side - extent.z) / 2)};
    place_model(*grid, model, corner, nullptr, progress);
    return grid;
}

std::vector<VoxelPosition> import_into_grid(VoxelGrid& grid, const ImportedModel& model, const VoxelPosition& corner,
                                            const std::string& name, const Progress& progress) {
    refuse_empty(model, name);
    const ModelExtent extent = model.extent();
    const uint64_t last = grid.side() - 3;
    const uint64_t lower[3] = {corner.x, corner.y, corner.z};
    const uint64_t size[3] = {extent.x, extent.y, extent.z};
    for (int a = 0; a < 3; ++a) {
        if (lower[a] < 2 || lower[a] + size[a] - 1 > last) {
            throw ExchangeError(name, "the model (" + extent_text(extent) + " voxels) placed at (" +
                                          std::to_string(corner.x) + ", " + std::to_string(corner.y) + ", " +
                                          std::to_string(corner.z) + ") reaches outside the grid's safe range (2 to " +
                                          std::to_string(last) + ")");
        }
    }
    std::vector<VoxelPosition> added;
    place_model(grid, model, corner, &added, progress);
    return added;
}

std::vector<VoxelPosition> import_into_world(World& world, const ImportedModel& model, const VoxelPosition& corner,
                                             const std::string& name, const Progress& progress) {
    std::vector<VoxelPosition> added = import_into_grid(world.grid(), model, corner, name, progress);
    if (!added.empty()) world.count_change();
    update_after_additions(world, voxels_to_update(added));
    return added;
}
