// holloform-grid new --levels N (--solid|--clear) FILE
#include <memory>

#include "Subcommand.h"
#include "grid/VoxelGrid.h"
#include "persistence/GridFile.h"

namespace {

struct NewOptions {
    long levels = 0;
    bool solid = false;
    bool clear = false;
    std::string path;
};

int run_new(const NewOptions& options) {
    try {
        const VoxelGrid grid(options.levels, options.solid);
        save_grid(grid, options.solid ? 1u : 0u, options.path);
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_new(CLI::App& app, int& status) {
    auto options = std::make_shared<NewOptions>();
    CLI::App* command = app.add_subcommand("new", "Write a new wholly solid or wholly clear grid.");
    command->add_option("--levels", options->levels, "Number of levels, 2 to 8")
        ->required()
        ->check(CLI::Range(VoxelGrid::kMinLevels, VoxelGrid::kMaxLevels));
    CLI::Option_group* contents = command->add_option_group("contents");
    contents->add_flag("--solid", options->solid, "Every voxel solid; outside counts as solid");
    contents->add_flag("--clear", options->clear, "Every voxel clear; outside counts as clear");
    contents->require_option(1);
    command->add_option("FILE", options->path, "The grid file to write")->required();
    command->callback([options, &status] { status = run_new(*options); });
}

const SubcommandRegistration registration{{"new --levels N (--solid|--clear) FILE", add_new}};

}  // namespace
