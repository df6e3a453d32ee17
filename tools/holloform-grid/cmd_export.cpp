// holloform-grid export IN.hf OUT.vox [X0 Y0 Z0 X1 Y1 Z1]
// Writes the solid voxels of a box of a grid file (default: the bounding box
// of every solid voxel) as a .vox file.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "exchange/ExchangeError.h"
#include "exchange/VoxExchange.h"
#include "grid/SolidBounds.h"
#include "persistence/GridFile.h"

namespace {

struct ExportOptions {
    std::string in_path;
    std::string out_path;
    std::vector<int64_t> bounds;  // none or x0 y0 z0 x1 y1 z1
};

// The box to export, or an ExchangeError naming the output file.
IntBox box_to_export(const VoxelGrid& grid, const ExportOptions& options) {
    if (options.bounds.empty()) {
        const auto bounds = solid_voxel_bounds(grid);
        if (!bounds) throw ExchangeError(options.out_path, "the grid holds no solid voxel");
        return *bounds;
    }
    const auto& b = options.bounds;
    for (int64_t value : b) {
        if (value < 0 || value >= int64_t(grid.side())) {
            throw ExchangeError(options.out_path, "the box bound " + std::to_string(value) +
                                                      " lies outside the grid (0 to " + std::to_string(grid.side() - 1) + ")");
        }
    }
    const IntBox box{uint32_t(b[0]), uint32_t(b[1]), uint32_t(b[2]), uint32_t(b[3]), uint32_t(b[4]), uint32_t(b[5])};
    if (!box.is_ordered()) throw ExchangeError(options.out_path, "the box's lower bounds must not lie above its upper ones");
    return box;
}

int run_export(const ExportOptions& options) {
    try {
        const LoadedGrid loaded = load_grid(options.in_path);
        const VoxScene scene = scene_of_box(*loaded.grid, box_to_export(*loaded.grid, options), options.out_path);
        write_vox_file(scene, options.out_path);
        std::cout << "voxels: " << scene.placed_voxel_count() << "\nmodels: " << scene.models.size() << '\n';
    } catch (const ExchangeError& error) {
        std::cerr << "holloform-grid: " << error.what() << '\n';
        return 1;
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_export(CLI::App& app, int& status) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand("export", "Write the solid voxels of a box of a grid as a .vox file.");
    command->add_option("IN", options->in_path, "The grid file to read")->required();
    command->add_option("OUT", options->out_path, "The .vox file to write")->required();
    command->add_option("BOX", options->bounds, "X0 Y0 Z0 X1 Y1 Z1 (inclusive; default: every solid voxel)")
        ->expected(6);
    command->callback([options, &status] { status = run_export(*options); });
}

const SubcommandRegistration registration{{"export IN.hf OUT.vox [X0 Y0 Z0 X1 Y1 Z1]", add_export}};

}  // namespace
