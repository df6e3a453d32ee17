#include "exchange/VoxExchange.h"

#include <algorithm>
#include <unordered_map>

#include "exchange/ExchangeError.h"
#include "exchange/SolidCells.h"
#include "grid/VoxelGrid.h"

namespace {

constexpr uint32_t kTileSide = 256;

// Splits the box into tiles of 256 voxels per side; each tile that holds a
// solid voxel becomes one model.
class TiledScene {
public:
    explicit TiledScene(const IntBox& box)
        : box_(box),
          extent_{box.x1 - box.x0 + 1, box.y1 - box.y0 + 1, box.z1 - box.z0 + 1},
          tiles_{(extent_[0] + kTileSide - 1) / kTileSide, (extent_[1] + kTileSide - 1) / kTileSide,
                 (extent_[2] + kTileSide - 1) / kTileSide} {}

    // Adds the voxels of a solid part of the box, tile by tile.
    void add(const IntBox& part) {
        const uint32_t lo[3] = {part.x0 - box_.x0, part.y0 - box_.y0, part.z0 - box_.z0};
        const uint32_t hi[3] = {part.x1 - box_.x0, part.y1 - box_.y0, part.z1 - box_.z0};
        for (uint32_t tz = lo[2] / kTileSide; tz <= hi[2] / kTileSide; ++tz) {
            for (uint32_t ty = lo[1] / kTileSide; ty <= hi[1] / kTileSide; ++ty) {
                for (uint32_t tx = lo[0] / kTileSide; tx <= hi[0] / kTileSide; ++tx) {
                    add_to_tile({tx, ty, tz}, lo, hi);
                }
            }
        }
    }

    VoxScene take() { return std::move(scene_); }

private:
    void add_to_tile(const std::array<uint32_t, 3>& tile, const uint32_t (&lo)[3], const uint32_t (&hi)[3]) {
        uint32_t from[3], to[3], origin[3], size[3];
        for (int a = 0; a < 3; ++a) {
            origin[a] = tile[a] * kTileSide;
            size[a] = std::min(kTileSide, extent_[a] - origin[a]);
            from[a] = std::max(lo[a], origin[a]);
            to[a] = std::min(hi[a], origin[a] + size[a] - 1);
        }
        VoxModel& model = model_of(tile, origin, size);
        // Grid (x, y, z) is .vox (x, -z, y); the model's y counts down from
        // the tile's top z.
        for (uint32_t z = from[2]; z <= to[2]; ++z) {
            for (uint32_t y = from[1]; y <= to[1]; ++y) {
                for (uint32_t x = from[0]; x <= to[0]; ++x) {
                    model.voxels.push_back({uint8_t(x - origin[0]), uint8_t(origin[2] + size[2] - 1 - z),
                                            uint8_t(y - origin[1])});
                }
            }
        }
    }

    VoxModel& model_of(const std::array<uint32_t, 3>& tile, const uint32_t (&origin)[3], const uint32_t (&size)[3]) {
        const uint64_t key = (uint64_t(tile[2]) * tiles_[1] + tile[1]) * tiles_[0] + tile[0];
        const auto found = index_.find(key);
        if (found != index_.end()) return scene_.models[found->second];
        index_.emplace(key, scene_.models.size());
        VoxModel model;
        model.size = {size[0], size[2], size[1]};
        scene_.models.push_back(std::move(model));
        // A model voxel v lies at t + v - floor(size / 2); the scene is
        // centred in x and y (the .vox ground plane) and stands on z = 0.
        VoxPlacement placement;
        placement.model = uint32_t(scene_.models.size() - 1);
        placement.transform.translation = {
            int64_t(origin[0]) + size[0] / 2 - extent_[0] / 2,
            int64_t(extent_[2] / 2) - (int64_t(origin[2]) + size[2] - 1) + size[2] / 2,
            int64_t(origin[1]) + size[1] / 2};
        scene_.placements.push_back(placement);
        return scene_.models.back();
    }

    const IntBox box_;
    const uint32_t extent_[3];
    const uint64_t tiles_[3];
    VoxScene scene_;
    std::unordered_map<uint64_t, size_t> index_;
};

// The placed voxels of a scene in the grid's axes, relative to their lowest
// corner.
class SceneModel : public ImportedModel {
public:
    explicit SceneModel(VoxScene scene) : scene_(std::move(scene)) {
        bool first = true;
        for (const VoxPlacement& placement : scene_.placements) {
            for (const auto& v : scene_.models[placement.model].voxels) {
                const auto g = grid_axes(scene_.position(placement, v));
                for (int a = 0; a < 3; ++a) {
                    low_[a] = first ? g[a] : std::min(low_[a], g[a]);
                    high_[a] = first ? g[a] : std::max(high_[a], g[a]);
                }
                first = false;
            }
        }
        count_ = scene_.placed_voxel_count();
    }

    ModelExtent extent() const override {
        if (count_ == 0) return ModelExtent{};
        return ModelExtent{uint64_t(high_[0] - low_[0] + 1), uint64_t(high_[1] - low_[1] + 1),
                           uint64_t(high_[2] - low_[2] + 1)};
    }
    uint64_t voxel_count() const override { return count_; }

    void for_each_run(const RunSink& run, const Progress& progress) const override {
        uint64_t done = 0;
        for (const VoxPlacement& placement : scene_.placements) {
            for (const auto& v : scene_.models[placement.model].voxels) {
                const auto g = grid_axes(scene_.position(placement, v));
                const uint32_t z = uint32_t(g[2] - low_[2]);
                run(uint32_t(g[0] - low_[0]), uint32_t(g[1] - low_[1]), z, z + 1);
            }
            done += scene_.models[placement.model].voxels.size();
            if (progress && count_ != 0) progress(double(done) / double(count_));
        }
    }

private:
    static std::array<int64_t, 3> grid_axes(const std::array<int64_t, 3>& p) { return {p[0], p[2], -p[1]}; }

    VoxScene scene_;
    std::array<int64_t, 3> low_{};
    std::array<int64_t, 3> high_{};
    uint64_t count_ = 0;
};

}  // namespace

VoxScene scene_of_box(const VoxelGrid& grid, const IntBox& box, const std::string& name) {
    if (!box.fits_within(grid.side())) throw ExchangeError(name, "the box to export does not lie inside the grid");
    const uint64_t count = count_solid_in_box(grid, box);
    if (count == 0) throw ExchangeError(name, "the box to export holds no solid voxel");
    if (count > kMaxVoxVoxels) {
        throw ExchangeError(name, "the box to export holds " + (count == UINT64_MAX ? std::string("too many") : std::to_string(count)) +
                                      " solid voxels, more than the .vox format's " + std::to_string(kMaxVoxVoxels));
    }
    TiledScene tiles(box);
    for_each_solid_part(grid, box, [&](const IntBox& part) { tiles.add(part); });
    return tiles.take();
}

void export_vox(const VoxelGrid& grid, const IntBox& box, const std::string& path) {
    write_vox_file(scene_of_box(grid, box, path), path);
}

std::unique_ptr<ImportedModel> model_of_scene(VoxScene scene) { return std::make_unique<SceneModel>(std::move(scene)); }
