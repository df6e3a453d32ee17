// Reads arbitrary bytes as a .vox file. Every input must either be refused
// with an ExchangeError or give a scene whose voxels, placed into a grid,
// export and read back to the same voxels.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "exchange/ExchangeError.h"
#include "exchange/GridImport.h"
#include "exchange/SolidCells.h"
#include "exchange/VoxExchange.h"
#include "exchange/VoxFile.h"
#include "grid/SolidBounds.h"
#include "grid/VoxelGrid.h"

namespace {

// Keeps each run short: larger scenes are only parsed.
constexpr uint64_t kMaxPlacedVoxels = 100000;
constexpr long kMaxLevels = 3;

void check_round_trip(VoxScene scene) {
    if (scene.placed_voxel_count() > kMaxPlacedVoxels) return;
    const auto model = model_of_scene(std::move(scene));
    if (model->voxel_count() == 0) return;
    const long levels = levels_to_hold(model->extent());
    if (levels == 0 || levels > kMaxLevels) return;
    const auto grid = import_into_new_grid(*model, levels, "input");
    const IntBox box = *solid_voxel_bounds(*grid);
    const uint64_t count = count_solid_in_box(*grid, box);
    const std::string bytes = vox_bytes(scene_of_box(*grid, box, "output"));
    const auto back = import_into_new_grid(
        *model_of_scene(parse_vox(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), "output")), levels,
        "output");
    if (count_solid_in_box(*back, IntBox{0, 0, 0, back->side() - 1, back->side() - 1, back->side() - 1}) != count) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        check_round_trip(parse_vox(data, size, "input"));
    } catch (const ExchangeError&) {
        // Refused with a message: fine.
    }
    return 0;
}
