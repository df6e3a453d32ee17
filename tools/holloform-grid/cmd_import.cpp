// holloform-grid import IN OUT.hf [--levels N] [--size VOXELS | --voxel-size S] [--at X Y Z --into BASE.hf]
// Reads a .vox file, or a mesh file whose inside is voxelized, and writes a
// grid file: a new clear grid holding the model at its centre, or BASE.hf
// with the model's lower corner at voxel (X, Y, Z). Progress goes to
// standard error.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "exchange/ExchangeError.h"
#include "exchange/GridImport.h"
#include "exchange/ModelFile.h"
#include "grid/VoxelGrid.h"
#include "persistence/GridFile.h"

namespace {

struct ImportOptions {
    std::string in_path;
    std::string out_path;
    long levels = 0;
    uint32_t size = MeshScale{}.longest_side_voxels;
    double voxel_size = 0.0;
    std::vector<uint32_t> at;
    std::string base_path;
};

// Reading (and voxelizing) counts for the first half, placing for the second.
Progress percent_on_stderr(int& shown, double from) {
    return [&shown, from](double fraction) {
        const int percent = int((from + fraction / 2) * 100);
        if (percent <= shown) return;
        shown = percent;
        std::cerr << "\rimport: " << percent << '%' << std::flush;
    };
}

int run_import(const ImportOptions& options) {
    int shown = -1;
    try {
        const MeshScale scale{options.size, options.voxel_size};
        const auto model = read_model_file(options.in_path, scale, percent_on_stderr(shown, 0.0));
        std::unique_ptr<VoxelGrid> grid;
        uint32_t boundary = 0;
        if (options.at.empty()) {
            grid = import_into_new_grid(*model, options.levels, options.in_path, percent_on_stderr(shown, 0.5));
        } else {
            LoadedGrid base = load_grid(options.base_path);
            grid = std::move(base.grid);
            boundary = base.boundary_flag;
            import_into_grid(*grid, *model, VoxelPosition{options.at[0], options.at[1], options.at[2]},
                             options.in_path, percent_on_stderr(shown, 0.5));
        }
        if (shown >= 0) std::cerr << '\n';
        save_grid(*grid, boundary, options.out_path);
        std::cout << "voxels: " << model->voxel_count() << "\nlevels: " << grid->levels() << '\n';
    } catch (const ExchangeError& error) {
        if (shown >= 0) std::cerr << '\n';
        std::cerr << "holloform-grid: " << error.what() << '\n';
        return 1;
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_import(CLI::App& app, int& status) {
    auto options = std::make_shared<ImportOptions>();
    CLI::App* command =
        app.add_subcommand("import", "Read a .vox or mesh file (OBJ, STL, PLY...) into a grid file.");
    command->add_option("IN", options->in_path, "The .vox or mesh file to read")->required();
    command->add_option("OUT", options->out_path, "The grid file to write")->required();
    CLI::Option* levels = command->add_option("--levels", options->levels, "Levels of the new grid (default: enough)")
                              ->check(CLI::Range(VoxelGrid::kMinLevels, VoxelGrid::kMaxLevels));
    CLI::Option* size = command->add_option("--size", options->size, "Mesh: voxels along its longest side")
                            ->capture_default_str()
                            ->check(CLI::Range(1u, kMaxMeshVoxelsPerSide));
    command->add_option("--voxel-size", options->voxel_size, "Mesh: edge of one voxel in the mesh's units")
        ->check(CLI::PositiveNumber)
        ->excludes(size);
    CLI::Option* at = command->add_option("--at", options->at, "Lower corner of the model in BASE (voxel)")
                          ->expected(3);
    CLI::Option* into = command->add_option("--into", options->base_path, "The grid file to import into");
    at->needs(into)->excludes(levels);
    into->needs(at);
    command->callback([options, &status] { status = run_import(*options); });
}

const SubcommandRegistration registration{
    {"import IN OUT.hf [--levels N] [--size VOXELS | --voxel-size S] [--at X Y Z --into BASE.hf]", add_import}};

}  // namespace
