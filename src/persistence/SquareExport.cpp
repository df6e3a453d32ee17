#include "persistence/SquareExport.h"

#include "grid/BoxTraversal.h"

ExportSquareVisitor::ExportSquareVisitor(Vertex3Func callback, float offset_x, float offset_y, float offset_z,
                                         float scale)
    : callback_(callback), offset_{offset_x, offset_y, offset_z}, scale_(scale) {}

void ExportSquareVisitor::emit_square() {
    const double scale = scale_;
    for (const auto& corner : square_->corners) {
        const double x = (double(corner[0]) + double(offset_[0])) * scale;
        const double y = (double(corner[1]) + double(offset_[1])) * scale;
        const double z = (double(corner[2]) + double(offset_[2])) * scale;
        callback_(static_cast<float>(x), static_cast<float>(-z), static_cast<float>(y));
    }
}

float export_scale(const IntBox& box, float max_dim) {
    uint32_t largest = box.x1 - box.x0;
    if (box.y1 - box.y0 > largest) largest = box.y1 - box.y0;
    if (box.z1 - box.z0 > largest) largest = box.z1 - box.z0;
    if (largest == 0) return max_dim;
    return max_dim / static_cast<float>(largest);
}

namespace {

float centre(uint32_t lower, uint32_t upper) {
    return static_cast<float>(double(lower) + double(upper - lower) * 0.5);
}

}  // namespace

void export_display_box(const VoxelGrid& grid, const IntBox& box, float max_dim, bool outside_solid) {
    const Vertex3Func callback = vertex3_func();
    if (!callback) return;
    ExportSquareVisitor visitor(callback, -centre(box.x0, box.x1), -centre(box.y0, box.y1), -centre(box.z0, box.z1),
                                export_scale(box, max_dim));
    visit_box_squares(grid, box, visitor, outside_solid);
}
