// holloform-grid squares FILE X0 Y0 Z0 X1 Y1 Z1 [--outside-solid] [--max-dim F] [--obj OUT]
// Exports the faces of a box of the grid as the vertex3 callback receives
// them: printed one vertex per line ("x y z"), or written as an OBJ file.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <memory>
#include <string>

#include "Subcommand.h"
#include "grid/IntBox.h"
#include "persistence/FloatText.h"
#include "persistence/GridFile.h"
#include "persistence/ObjQuadWriter.h"
#include "persistence/SquareExport.h"

namespace {

struct SquaresOptions {
    std::string path;
    int64_t bounds[6] = {};  // x0 y0 z0 x1 y1 z1
    bool outside_solid = false;
    float max_dim = 8.0f;
    std::string obj_path;
};

// The callback is a plain function, so what it writes to lives here.
std::string printed_vertices;
ObjQuadWriter* obj_target = nullptr;
std::size_t exported_corners = 0;

void print_vertex(float x, float y, float z) {
    ++exported_corners;
    append_float_text(printed_vertices, x);
    printed_vertices += ' ';
    append_float_text(printed_vertices, y);
    printed_vertices += ' ';
    append_float_text(printed_vertices, z);
    printed_vertices += '\n';
    if (printed_vertices.size() >= (1u << 16)) {
        std::cout << printed_vertices;
        printed_vertices.clear();
    }
}

void collect_obj_corner(float x, float y, float z) {
    ++exported_corners;
    obj_target->add_corner(x, y, z);
}

int run_squares(const SquaresOptions& options) {
    try {
        const LoadedGrid loaded = load_grid(options.path);
        IntBox box;
        if (!checked_box(options.bounds, loaded.grid->side(), box)) return 1;
        exported_corners = 0;
        if (options.obj_path.empty()) {
            set_vertex3_func(print_vertex);
            export_display_box(*loaded.grid, box, options.max_dim, options.outside_solid);
            std::cout << printed_vertices << std::flush;
            printed_vertices.clear();
        } else {
            ObjQuadWriter writer;
            obj_target = &writer;
            set_vertex3_func(collect_obj_corner);
            export_display_box(*loaded.grid, box, options.max_dim, options.outside_solid);
            obj_target = nullptr;
            writer.write(options.obj_path);
        }
        set_vertex3_func(nullptr);
        if (exported_corners == 0) report_empty_box();
    } catch (const Util_E26EF::Exception& error) {
        return report_file_error(error);
    }
    return 0;
}

void add_squares(CLI::App& app, int& status) {
    auto options = std::make_shared<SquaresOptions>();
    CLI::App* command = app.add_subcommand("squares", "Export the faces of a box of a grid as squares.");
    command->add_option("FILE", options->path, "The grid file to read")->required();
    for (int i = 0; i < 6; ++i) {
        command->add_option(kBoundNames[i], options->bounds[i], "Box bound (voxel index, inclusive)")->required();
    }
    command->add_flag("--outside-solid", options->outside_solid, "Space outside the box counts as solid");
    command->add_option("--max-dim", options->max_dim, "Size of the box's largest extent after scaling")
        ->capture_default_str();
    command->add_option("--obj", options->obj_path, "Write a Wavefront OBJ file of quads instead of printing");
    command->callback([options, &status] { status = run_squares(*options); });
}

const SubcommandRegistration registration{
    {"squares FILE X0 Y0 Z0 X1 Y1 Z1 [--outside-solid] [--max-dim F] [--obj OUT]", add_squares}};

}  // namespace
