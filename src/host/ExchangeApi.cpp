// The control API's model import and export. Built into the shared library
// only, with the exchange library, so the core keeps to its own
// dependencies.
#include <cstdio>
#include <string>

#include "core/EditContext.h"
#include "exchange/ExchangeError.h"
#include "exchange/GridImport.h"
#include "exchange/LimitSurfaceExport.h"
#include "exchange/ModelFile.h"
#include "exchange/VoxExchange.h"
#include "grid/SolidBounds.h"
#include "grid/World.h"
#include "host/Holloform.h"
#include "host/ProcessEditContext.h"
#include "math/Vector3.h"
#include "render/GridDisplay.h"

namespace {

// Percentages on standard error, each shown once, the line ended at 100.
class ProgressLine {
public:
    explicit ProgressLine(std::string what) : what_(std::move(what)) {}
    ~ProgressLine() {
        if (shown_ >= 0) std::fputs("\n", stderr);
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Progress of one of two halves of the work (0: reading, 1: placing).
    Progress callback(int half) {
        return [this, half](double fraction) {
            const int percent = int((half + fraction) * 50);
            if (percent <= shown_) return;
            shown_ = percent;
            std::fprintf(stderr, "\r%s: %d%%", what_.c_str(), percent);
            std::fflush(stderr);
        };
    }

private:
    std::string what_;
    int shown_ = -1;
};

MeshScale scale_of(std::uint32_t mesh_voxels) {
    MeshScale scale;
    if (mesh_voxels != 0) scale.longest_side_voxels = mesh_voxels;
    return scale;
}

const std::string& checked_path(const std::string& path) {
    if (path.empty()) throw ExchangeError("(no file name)", "a file name is needed");
    return path;
}

}  // namespace

namespace Holloform {

void import_model_at(const char* path, std::uint32_t x, std::uint32_t y, std::uint32_t z, std::uint32_t mesh_voxels) {
    EditContext& context = process_edit_context_for("import_model_at");
    const std::string name = checked_path(path ? path : "");
    ProgressLine progress("Importing " + name);
    const auto model = read_model_file(name, scale_of(mesh_voxels), progress.callback(0));
    // The import is one undo step of its own.
    context.end_edit_step();
    import_into_world(context.world(), *model, VoxelPosition{x, y, z}, name, progress.callback(1));
    context.end_edit_step();
}

void import_model(const char* path, std::int32_t levels, std::uint32_t mesh_voxels) {
    EditContext& context = process_edit_context_for("import_model");
    const std::string name = checked_path(path ? path : "");
    ProgressLine progress("Importing " + name);
    const auto model = read_model_file(name, scale_of(mesh_voxels), progress.callback(0));
    auto grid = import_into_new_grid(*model, levels, name, progress.callback(1));
    context.end_edit_step();
    install_grid(context.world(), std::move(grid), 0);
}

void export_limit_surface(const char* path) {
    EditContext& context = process_edit_context_for("export_limit_surface");
    const std::string name = checked_path(path ? path : "");
    ::export_limit_surface(context.world(), context.compute_display_box(), name, surface_frame());
    // The vertices now carry this frame's stamp; the display goes on two
    // frames later so that it reads the buffer the export read.
    advance_surface_frame();
    advance_surface_frame();
}

void export_vox(const char* path, bool whole_model) {
    EditContext& context = process_edit_context_for("export_vox");
    const std::string name = checked_path(path ? path : "");
    const VoxelGrid& grid = context.world().grid();
    IntBox box = context.compute_display_box();
    if (whole_model) {
        const auto bounds = solid_voxel_bounds(grid);
        if (!bounds) throw ExchangeError(name, "the model holds no solid voxel");
        box = *bounds;
    }
    ::export_vox(grid, box, name);
}

void import_model_at_focus(const char* path, std::uint32_t mesh_voxels) {
    EditContext& context = process_edit_context_for("import_model_at_focus");
    const Vector3 focus = context.view().focus_point();
    const double side = context.world().grid().side();
    for (const float c : {focus.x, focus.y, focus.z}) {
        if (!(c >= 0 && c < side)) throw ExchangeError(path ? path : "", "the focus lies outside the grid");
    }
    import_model_at(path, std::uint32_t(focus.x), std::uint32_t(focus.y), std::uint32_t(focus.z), mesh_voxels);
}

}  // namespace Holloform
