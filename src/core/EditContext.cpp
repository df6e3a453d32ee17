#include "core/EditContext.h"

#include <algorithm>
#include <iostream>

#include "core/Actions.h"
#include "core/FrameClock.h"
#include "core/RenderFrame.h"
#include "core/Settings.h"
#include "grid/GridAffector.h"
#include "grid/World.h"
#include "interaction/MovementMode.h"
#include "interaction/Tool.h"
#include "math/VoxelIndex.h"
#include "render/GlPrimitiveDrawer.h"

namespace {

// The first frame counts as coming this long after a frame before it.
constexpr double kFirstFrameSeconds = 0.1;
// Frames further apart than this move the camera no further.
constexpr float kLongestFrameSeconds = 0.5f;

void print_status(const char* line) { std::cout << line << std::endl; }

// The display box's span on one axis: centred on `centre` when the box fits
// there, pushed inward when it would leave 0 .. max_index + 1, and clamped
// to the grid's voxels. A negative (or not-a-number) size counts as 0, so
// the box is never reversed.
void box_span(float centre, float size, std::uint32_t max_index, std::uint32_t& lower, std::uint32_t& upper) {
    float half = static_cast<float>(0.5 * size);
    if (!(half > 0.0f)) half = 0.0f;
    const float end = static_cast<float>(double(max_index) + 1.0);
    float p = centre;
    if (p < half) {
        p = half;
    } else if (end - half < p) {
        p = end - half;
    }
    lower = std::min(clamped_voxel_index(p - half), max_index);
    upper = std::min(clamped_voxel_index(p + half), max_index);
}

// One focus coordinate as a voxel index, at most side (a power of two, so
// exact as a float).
std::uint32_t centre_index(float value, std::uint32_t side) {
    return std::min(clamped_voxel_index(value), side);
}

static_assert(EditContext::kAffectorCount == kGridAffectorCount, "one slot per brush");

}  // namespace

EditContext::EditContext()
    : primitive_drawer_(std::make_unique<GlPrimitiveDrawer>()),
      movement_mode_(&pointer_offset_mode()),
      world_(std::make_unique<World>()),
      affectors_(make_grid_affectors()) {
    const float middle = static_cast<float>(world_->grid().side() / 2);
    views_.emplace_back();
    views_.back().move_eye_to(Vector3(middle - 32.0f, middle + 16.0f, middle - 32.0f));
    tools_.push_back(std::make_unique<Tool>(*this));
    write_setting_defaults();
}

EditContext::~EditContext() {
    while (!tools_.empty()) tools_.pop_back();
    for (I_Releasable* resource : resources_) resource->release();
    world_.reset();
}

void EditContext::display() {
    begin_frame();
    current_tool().update();
    if (query_bool(BoolCompensateForTwist)) view().compensate_twist();
    render_frame(*this);
    end_frame();
}

bool EditContext::twist_compensation() const {
    return query_bool(BoolCompensateForTwist);
}

void EditContext::set_twist_compensation(bool on) {
    set_bool(BoolCompensateForTwist, on);
}

std::array<bool, 3> EditContext::mirror_axes() const {
    return {query_bool(BoolMirrorX), query_bool(BoolMirrorY), query_bool(BoolMirrorZ)};
}

void EditContext::begin_frame() {
    if (first_frame_) {
        first_frame_ = false;
        previous_frame_time_ = read_frame_clock() * 0.001 - kFirstFrameSeconds;
    }
    current_frame_time_ = read_frame_clock() * 0.001;
}

void EditContext::end_frame() {
    previous_frame_time_ = current_frame_time_;
    previous_pointer_ = pointer_;
}

void EditContext::reshape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    viewport_ = Viewport{x, y, width, height};
}

void EditContext::motion(std::int32_t x, std::int32_t y) {
    // Wrapping arithmetic: extreme values must not overflow.
    pointer_.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(viewport_.x));
    pointer_.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(y) - static_cast<std::uint32_t>(viewport_.y));
    current_tool().motion(pointer_.x, pointer_.y);
}

void EditContext::button(std::int32_t button, bool state) {
    if (button >= 0 && button < static_cast<std::int32_t>(button_states_.size())) button_states_[button] = state;
    // Releasing the add or remove button ends the stroke: one undo step.
    if ((button == 0 || button == 2) && state) end_edit_step();
    current_tool().button(button, state);
}

void EditContext::key(unsigned char key, bool state) { current_tool().key(key, state); }

void EditContext::set_string(std::uint32_t id, const char* value) { settings().set_string(id, value); }
void EditContext::copy_string(std::uint32_t id, char* buffer, std::uint32_t limit) const {
    settings().copy_string(id, buffer, limit);
}
const char* EditContext::query_string(std::uint32_t id) const { return settings().query_string(id); }
bool EditContext::string_was_cut(std::uint32_t id) const { return settings().string_was_cut(id); }
void EditContext::set_int(std::uint32_t id, std::int32_t value) { settings().set_int(id, value); }
std::int32_t EditContext::query_int(std::uint32_t id) const { return settings().query_int(id); }
void EditContext::set_float(std::uint32_t id, float value) { settings().set_float(id, value); }
float EditContext::query_float(std::uint32_t id) const { return settings().query_float(id); }
void EditContext::set_bool(std::uint32_t id, bool value) { settings().set_bool(id, value); }
bool EditContext::query_bool(std::uint32_t id) const { return settings().query_bool(id); }

void EditContext::do_action(std::uint32_t action) { ::do_action(*this, action); }

void EditContext::end_edit_step() {
    const std::int32_t megabytes = std::max(query_int(IntUndoMemoryMB), 0);
    world_->set_undo_budget(static_cast<std::size_t>(megabytes) << 20);
    world_->end_step();
}

void EditContext::register_resource(I_Releasable* resource) {
    if (resource == nullptr) return;
    if (std::find(resources_.begin(), resources_.end(), resource) != resources_.end()) return;
    resources_.push_back(resource);
}

void EditContext::change_tool(std::unique_ptr<Tool> new_tool) {
    print_status("EditContext::change_tool called");
    if (!new_tool) return;
    tools_.pop_back();
    tools_.push_back(std::move(new_tool));
}

IntBox EditContext::compute_display_box() const {
    const Vector3 centre = query_bool(BoolDisplayBoxStickOn)
                               ? Vector3(static_cast<float>(fixed_centre_.x), static_cast<float>(fixed_centre_.y),
                                         static_cast<float>(fixed_centre_.z))
                               : view().focus_point();
    const Vector3& size = view().box_size();
    const std::uint32_t max_index = max_voxel_index();
    IntBox box;
    box_span(centre.x, size.x, max_index, box.x0, box.x1);
    box_span(centre.y, size.y, max_index, box.y0, box.y1);
    box_span(centre.z, size.z, max_index, box.z0, box.z1);
    return box;
}

void EditContext::record_fixed_centre() {
    const Vector3 focus = view().focus_point();
    const std::uint32_t side = world_->grid().side();
    fixed_centre_ = FixedCentre{centre_index(focus.x, side), centre_index(focus.y, side), centre_index(focus.z, side)};
}

void EditContext::set_wireframe() const { print_status("Setting display mode to wireframe."); }
void EditContext::set_solid() const { print_status("Setting display mode to solid."); }

bool EditContext::horizontal_movement(float& amount) {
    const bool moved = movement_mode_->horizontal(*this, amount);
    amount = scale_movement(amount);
    return moved;
}

bool EditContext::vertical_movement(float& amount) {
    const bool moved = movement_mode_->vertical(*this, amount);
    amount = scale_movement(amount);
    return moved;
}

float EditContext::scale_movement(float raw) const {
    float elapsed = static_cast<float>(current_frame_time_ - previous_frame_time_);
    if (!(elapsed >= 0.0f)) elapsed = 0.0f;
    if (elapsed > kLongestFrameSeconds) elapsed = kLongestFrameSeconds;
    return static_cast<float>(double(query_float(FloatMovementScaling)) * elapsed * raw * 20.0);
}

std::uint32_t EditContext::max_voxel_index() const { return world_->grid().side() - 1; }

const char* EditContext::current_affector_name() const { return grid_affector_name(current_affector_); }

void EditContext::select_next_affector() { current_affector_ = (current_affector_ + 1) % kAffectorCount; }

bool EditContext::button_state(int index) const {
    if (index < 0 || index >= static_cast<int>(button_states_.size())) return true;
    return button_states_[index];
}
