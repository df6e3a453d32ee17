// holloform-grid brush FILE OUT --shape K (--add|--remove) X Y Z: applies
// brush K (1 to 8, in the editor's cycle order) at voxel (X, Y, Z) as the
// editor's mouse buttons do, and writes the result to OUT with the same
// boundary flag. Prints the solid voxel counts before and after.
// --mirror AXES (any of x, y, z) applies the mirror images too, as one
// application, across planes through the grid's middle or, with
// --mirror-centre X Y Z, through the middle of that voxel.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "grid/GridAffector.h"
#include "grid/SolidVoxelCount.h"
#include "grid/World.h"
#include "persistence/GridFile.h"

namespace {

struct BrushOptions {
    std::string path;
    std::string out;
    std::size_t shape = 0;
    bool add = false;
    bool remove = false;
    uint32_t x = 0, y = 0, z = 0;
    std::string mirror;
    std::vector<uint32_t> centre;
};

// The axes named in `text` ("x", "yz", ...); false for any other letter or a
// repeated one.
bool parse_mirror_axes(const std::string& text, bool axes[3]) {
    for (char c : text) {
        const int axis = c == 'x' ? 0 : c == 'y' ? 1 : c == 'z' ? 2 : -1;
        if (axis < 0 || axes[axis]) return false;
        axes[axis] = true;
    }
    return true;
}

int run_brush(const BrushOptions& options) {
    try {
        LoadedGrid loaded = load_grid(options.path);
        World world;
        install_grid(world, std::move(loaded.grid), loaded.boundary_flag);
        const std::string before = voxel_count_text(count_solid_voxels(world.grid()));
        bool axes[3] = {false, false, false};
        parse_mirror_axes(options.mirror, axes);
        world.set_mirror_axes(axes[0], axes[1], axes[2]);
        if (!options.centre.empty()) {
            const uint32_t side = world.grid().side();
            if (options.centre[0] >= side || options.centre[1] >= side || options.centre[2] >= side) {
                throw CLI::ValidationError("--mirror-centre", "must be a voxel of the grid, 0 to " +
                                                                  std::to_string(side - 1) + " on each axis");
            }
            world.set_mirror_centre(VoxelPosition{options.centre[0], options.centre[1], options.centre[2]});
        }
        const auto brushes = make_grid_affectors();
        const GridAffector& brush = *brushes[options.shape - 1];
        const VoxelPosition anchor{options.x, options.y, options.z};
        if (options.add) {
            brush.add_shape(world, anchor);
        } else {
            brush.remove_shape(world, anchor);
        }
        save_grid(world.grid(), world.boundary_flag(), options.out);
        std::cout << "brush: " << grid_affector_name(options.shape - 1) << '\n';
        std::cout << "solid_voxels_before: " << before << '\n';
        std::cout << "solid_voxels_after: " << voxel_count_text(count_solid_voxels(world.grid())) << '\n';
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_brush(CLI::App& app, int& status) {
    auto options = std::make_shared<BrushOptions>();
    CLI::App* command = app.add_subcommand("brush", "Apply one of the editor's brushes to a grid file.");
    command->add_option("FILE", options->path, "The grid file to read")->required();
    command->add_option("OUT", options->out, "The grid file to write")->required();
    command->add_option("--shape", options->shape, "Brush 1 to 8, in the editor's cycle order")
        ->required()
        ->check(CLI::Range(std::size_t(1), kGridAffectorCount));
    CLI::Option_group* edit = command->add_option_group("edit");
    edit->add_flag("--add", options->add, "Add the shape (unsupported voxels fall away again)");
    edit->add_flag("--remove", options->remove, "Remove the shape (and what loses its support)");
    edit->require_option(1);
    command->add_option("X", options->x, "Anchor voxel x")->required();
    command->add_option("Y", options->y, "Anchor voxel y")->required();
    command->add_option("Z", options->z, "Anchor voxel z")->required();
    command
        ->add_option("--mirror", options->mirror, "Mirror the brush across x, y and/or z (for example x or xz)")
        ->check([](const std::string& text) {
            bool axes[3] = {false, false, false};
            return !text.empty() && parse_mirror_axes(text, axes) ? std::string()
                                                                  : std::string("give one or more of x, y, z, each once");
        });
    command->add_option("--mirror-centre", options->centre, "The voxel whose middle the mirror planes pass through")
        ->expected(3);
    command->callback([options, &status] { status = run_brush(*options); });
}

const SubcommandRegistration registration{
    {"brush FILE OUT --shape K (--add|--remove) [--mirror AXES [--mirror-centre X Y Z]] X Y Z", add_brush}};

}  // namespace
