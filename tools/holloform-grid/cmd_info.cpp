// holloform-grid info [--surface] FILE: prints "key: value" lines describing a
// grid file (its solid voxels' bounds among them); with --surface also the size of its surface graph.
#include <iostream>
#include <memory>
#include <optional>

#include "Subcommand.h"
#include "grid/SolidBounds.h"
#include "grid/SolidVoxelCount.h"
#include "grid/World.h"
#include "persistence/GridFile.h"

namespace {

struct InfoOptions {
    bool surface = false;
    std::string path;
};

void print_info(const LoadedGrid& loaded) {
    const VoxelGrid& grid = *loaded.grid;
    std::cout << "levels: " << grid.levels() << '\n';
    std::cout << "boundary: " << loaded.boundary_flag << '\n';
    for (uint32_t level = 1; level < grid.leaf_level(); ++level) {
        std::cout << "nodes_level_" << level << ": " << grid.node_map(level).size() << '\n';
    }
    std::cout << "leaf_blocks: " << grid.leaf_map().size() << '\n';
    std::cout << "solid_voxels: " << voxel_count_text(count_solid_voxels(grid)) << '\n';
    // x0 y0 z0 x1 y1 z1 of the solid voxels, both ends inclusive.
    const std::optional<IntBox> bounds = solid_voxel_bounds(grid);
    std::cout << "solid_bounds:";
    if (bounds) {
        std::cout << ' ' << bounds->x0 << ' ' << bounds->y0 << ' ' << bounds->z0 << ' ' << bounds->x1 << ' '
                  << bounds->y1 << ' ' << bounds->z1 << '\n';
    } else {
        std::cout << " none\n";
    }
}

// Installs the grid in a world, which builds its surface vertex set, and
// prints the number of vertices and of neighbour links (each link counted
// from both ends).
void print_surface(LoadedGrid loaded) {
    World world;
    install_grid(world, std::move(loaded.grid), loaded.boundary_flag);
    uint64_t links = 0;
    for (const SurfaceVertex& vertex : world.vertices()) links += vertex.neighbour_count();
    std::cout << "surface_vertices: " << world.vertices().size() << '\n';
    std::cout << "surface_links: " << links << '\n';
}

int run_info(const InfoOptions& options) {
    try {
        LoadedGrid loaded = load_grid(options.path);
        print_info(loaded);
        if (options.surface) print_surface(std::move(loaded));
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_info(CLI::App& app, int& status) {
    auto options = std::make_shared<InfoOptions>();
    CLI::App* command = app.add_subcommand("info", "Describe a grid file.");
    command->add_flag("--surface", options->surface, "Also count the vertices and links of its surface");
    command->add_option("FILE", options->path, "The grid file to read")->required();
    command->callback([options, &status] { status = run_info(*options); });
}

const SubcommandRegistration registration{{"info [--surface] FILE", add_info}};

}  // namespace
