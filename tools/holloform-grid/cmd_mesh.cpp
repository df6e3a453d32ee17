// holloform-grid mesh FILE X0 Y0 Z0 X1 Y1 Z1 --out OUT [--steps N]
// Builds the limit surface of a box of the grid as the editor shows it and
// writes the triangle mesh as OBJ, binary STL or binary PLY (by OUT's
// extension). With N steps the surface vertices first move under the
// editor's default physics for N frames; with 0 they sit on their voxels.
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

#include "Subcommand.h"
#include "dynamics/PhysicsParameters.h"
#include "grid/IntBox.h"
#include "grid/World.h"
#include "persistence/GridFile.h"
#include "persistence/MeshExport.h"
#include "render/LimitSurfaceSweep.h"
#include "render/SurfaceMesh.h"

namespace {

struct MeshOptions {
    std::string path;
    int64_t bounds[6] = {};  // x0 y0 z0 x1 y1 z1
    std::string out_path;
    uint32_t steps = 0;
};

// Sweeps the box steps + 1 times, frames 1, 2, ...; the mesh keeps the last.
void build_mesh(World& world, const IntBox& box, uint32_t steps, SurfaceMesh& mesh) {
    PhysicsParameters physics;  // the editor's defaults
    physics.do_physics = steps > 0;
    for (uint32_t frame = 1; frame <= steps + 1; ++frame) {
        mesh.reset();
        sweep_limit_surface(world, box, mesh, frame, physics);
    }
}

int run_mesh(const MeshOptions& options) {
    MeshFormat format;
    if (!mesh_format_of_path(options.out_path, format)) {
        std::cerr << "holloform-grid: " << options.out_path << ": unknown mesh type (use .obj, .stl or .ply)\n";
        return 1;
    }
    try {
        LoadedGrid loaded = load_grid(options.path);
        IntBox box;
        if (!checked_box(options.bounds, loaded.grid->side(), box)) return 1;
        World world;
        install_grid(world, std::move(loaded.grid), loaded.boundary_flag);
        SurfaceMesh mesh;
        build_mesh(world, box, options.steps, mesh);
        write_mesh(TriangleMeshView{mesh.positions().data(), 4, mesh.vertex_count(), mesh.indices().data(),
                                    mesh.index_count()},
                   options.out_path);
        std::cout << "vertices: " << mesh.vertex_count() << "\ntriangles: " << mesh.triangle_count() << '\n';
        if (mesh.triangle_count() == 0) report_empty_box();
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_mesh(CLI::App& app, int& status) {
    auto options = std::make_shared<MeshOptions>();
    CLI::App* command = app.add_subcommand("mesh", "Write the limit surface of a box of a grid as a mesh file.");
    command->add_option("FILE", options->path, "The grid file to read")->required();
    for (int i = 0; i < 6; ++i) {
        command->add_option(kBoundNames[i], options->bounds[i], "Box bound (voxel index, inclusive)")->required();
    }
    command->add_option("--out", options->out_path, "The mesh file to write: .obj, .stl or .ply")->required();
    command->add_option("--steps", options->steps, "Physics steps before the mesh is taken (0: vertices at voxels)")
        ->capture_default_str();
    command->callback([options, &status] { status = run_mesh(*options); });
}

const SubcommandRegistration registration{{"mesh FILE X0 Y0 Z0 X1 Y1 Z1 --out OUT [--steps N]", add_mesh}};

}  // namespace
