#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/EditContext.h"
#include "grid/SolidBounds.h"
#include "grid/World.h"
#include "interaction/Tool.h"
#include "host/Holloform.h"
#include "persistence/Vertex3Callback.h"

namespace {

const char kCopyrightNotice[] = "Holloform voxel editor. Copyright (c) 2026 the Holloform developers.";
const char kContactAddress[] = "Holloform developers <holloform@example.org>";

// The process-wide edit context: made on first use, never destroyed.
EditContext* process_context = nullptr;

// True while do_action runs on the process-wide edit context. The only code
// of the host's that can run then is the vertex callback of an export.
bool action_running = false;

EditContext& process_edit_context() {
    // If the constructor throws, new releases the memory and the pointer
    // stays null, so the next call tries again.
    if (process_context == nullptr) process_context = new EditContext();
    return *process_context;
}

// An export reads the grid while it calls back into the host; a callback
// that replaced the grid, edited it through a tool or ran another action
// would pull it away from under the traversal.
void refuse_while_action_runs(const char* function) {
    if (action_running) {
        throw std::logic_error(std::string("Holloform::") + function +
                               " cannot be called while Holloform::do_action is running");
    }
}

class ActionRunningScope {
public:
    ActionRunningScope() { action_running = true; }
    ~ActionRunningScope() { action_running = false; }
    ActionRunningScope(const ActionRunningScope&) = delete;
    ActionRunningScope& operator=(const ActionRunningScope&) = delete;
};

}  // namespace

namespace Holloform {

const char* copyright_notice() { return kCopyrightNotice; }

const char* contact_address() { return kContactAddress; }

I_EditContextOwnerhip acquire_edit_context() { return I_EditContextOwnerhip(std::make_unique<EditContext>()); }

void display() {
    refuse_while_action_runs("display");
    process_edit_context().display();
}

void reshape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    process_edit_context().reshape(x, y, width, height);
}

void motion(std::int32_t x, std::int32_t y) { process_edit_context().motion(x, y); }

void button(std::int32_t button, bool state) { process_edit_context().button(button, state); }

void key(unsigned char key, bool state) {
    refuse_while_action_runs("key");
    process_edit_context().key(key, state);
}

void set_string(std::uint32_t id, const char* value) { process_edit_context().set_string(id, value); }

void set_int(std::uint32_t id, std::int32_t value) { process_edit_context().set_int(id, value); }

void set_float(std::uint32_t id, float value) { process_edit_context().set_float(id, value); }

void set_bool(std::uint32_t id, bool value) { process_edit_context().set_bool(id, value); }

std::int32_t query_int(std::uint32_t id) { return process_edit_context().query_int(id); }

float query_float(std::uint32_t id) { return process_edit_context().query_float(id); }

bool query_bool(std::uint32_t id) { return process_edit_context().query_bool(id); }

void do_action(std::uint32_t action) {
    refuse_while_action_runs("do_action");
    EditContext& context = process_edit_context();
    const ActionRunningScope running;
    context.do_action(action);
}

void set_vertex3_func(Vertex3Function callback) { ::set_vertex3_func(callback); }

std::uint64_t change_count() { return process_edit_context().world().change_count(); }

std::uint32_t grid_side() { return process_edit_context().world().grid().side(); }

std::array<std::int64_t, 3> focus_voxel() {
    const FocusVoxel voxel = focus_voxel(process_edit_context().view());
    // focus_voxel keeps the bits of a truncated 32-bit signed value.
    return {static_cast<std::int32_t>(voxel.x), static_cast<std::int32_t>(voxel.y),
            static_cast<std::int32_t>(voxel.z)};
}

std::array<std::uint32_t, 6> display_box() {
    const IntBox box = process_edit_context().compute_display_box();
    return {box.x0, box.y0, box.z0, box.x1, box.y1, box.z1};
}

bool solid_bounds(std::array<std::uint32_t, 6>& bounds) {
    const std::optional<IntBox> box = solid_voxel_bounds(process_edit_context().world().grid());
    if (!box) return false;
    bounds = {box->x0, box->y0, box->z0, box->x1, box->y1, box->z1};
    return true;
}

std::array<double, 16> camera_matrix() {
    const Matrix4& matrix = process_edit_context().view().matrix();
    std::array<double, 16> elements{};
    for (std::size_t i = 0; i < elements.size(); ++i) elements[i] = matrix.data()[i];
    return elements;
}

void set_camera_matrix(const std::array<double, 16>& matrix) {
    EditContext& context = process_edit_context();
    for (double element : matrix) {
        if (!std::isfinite(element)) return;
    }
    const std::array<double, 16>& m = matrix;
    context.view().set_matrix(Matrix4(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11],
                                      m[12], m[13], m[14], m[15]));
}

std::array<float, 2> focus_depth() {
    const View& view = process_edit_context().view();
    return {view.focus_distance(), view.far_offset()};
}

void set_focus_depth(float focus_distance, float far_offset) {
    View& view = process_edit_context().view();
    if (!std::isfinite(focus_distance) || !std::isfinite(far_offset)) return;
    const float focus = std::max(focus_distance, 1.0f);
    const float far = std::max(far_offset, 0.0f);
    // With the focus at its nearest, the far offset alone sets the sum; the
    // focus then moves out to its place, taking its share from the offset.
    view.set_focus_distance(1.0f);
    view.set_far_offset(focus + far - 1.0f);
    view.set_focus_distance(focus);
}

std::uint32_t undo_step_count() { return static_cast<std::uint32_t>(process_edit_context().world().undo_count()); }

std::uint32_t redo_step_count() { return static_cast<std::uint32_t>(process_edit_context().world().redo_count()); }

std::array<double, 3> mirror_centre() {
    const MirrorSymmetry& mirror = process_edit_context().world().mirror();
    return {0.5 * mirror.twice_centre[0], 0.5 * mirror.twice_centre[1], 0.5 * mirror.twice_centre[2]};
}

}  // namespace Holloform

EditContext& process_edit_context_for(const char* function) {
    refuse_while_action_runs(function);
    return process_edit_context();
}
