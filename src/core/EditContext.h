#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "core/I_EditContext.h"
#include "render/I_ResourceRegistry.h"
#include "grid/IntBox.h"
#include "interaction/ToolContext.h"
#include "interaction/View.h"

class GridAffector;
class MovementMode;
class PrimitiveDrawer;
class Tool;
class World;

// The voxel the display box is centred on while BoolDisplayBoxStickOn is set.
struct FixedCentre {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t z = 0;
};

// The editor as one object: it owns the camera, the current tool, the world
// with its surface, the brushes and the drawing object, keeps the pointer and
// button state and the frame clock, and turns the host's calls into calls on
// its parts. Tools and the renderer read its state through the accessors.
class EditContext final : public I_EditContext, public I_ResourceRegistry, public ToolContext {
public:
    static constexpr std::size_t kAffectorCount = 8;

    // Needs no OpenGL context. Ends by writing the setting defaults, so it
    // overwrites every integer, float and bool the host stored before.
    EditContext();
    // Deletes the tool, releases each registered resource once (in
    // registration order), then destroys the world and the drawer.
    ~EditContext() override;

    // I_EditContext
    void display() override;
    void reshape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    void motion(std::int32_t x, std::int32_t y) override;
    void button(std::int32_t button, bool state) override;
    void key(unsigned char key, bool state) override;
    void set_string(std::uint32_t id, const char* value) override;
    void copy_string(std::uint32_t id, char* buffer, std::uint32_t limit) const override;
    const char* query_string(std::uint32_t id) const override;
    void set_int(std::uint32_t id, std::int32_t value) override;
    std::int32_t query_int(std::uint32_t id) const override;
    void set_float(std::uint32_t id, float value) override;
    float query_float(std::uint32_t id) const override;
    void set_bool(std::uint32_t id, bool value) override;
    bool query_bool(std::uint32_t id) const override;
    void do_action(std::uint32_t action) override;
    // Whether the string last stored under id was too long and had to be cut.
    bool string_was_cut(std::uint32_t id) const;

    // The steps of display around the tool update and the drawing, public so
    // that a frame can be driven without drawing. begin_frame reads the
    // clock (the first frame counts as 0.1 s long); end_frame keeps this
    // frame's time and pointer position for the next frame.
    void begin_frame();
    void end_frame();

    // Closes the world's open undo step (a stroke ends, an action or a key
    // edit comes), with the history's budget from IntUndoMemoryMB.
    void end_edit_step() override;

    // I_ResourceRegistry. Null and already registered resources are ignored,
    // so that each resource is released exactly once.
    void register_resource(I_Releasable* resource) override;

    // Destroys the current tool and makes new_tool current. A tool may call
    // this from its own handlers, but must not touch itself afterwards. A
    // null tool is ignored (the current one stays).
    void change_tool(std::unique_ptr<Tool> new_tool) override;

    // The display box of this frame: the box of the back view's box size
    // around the focus point (or the fixed centre while
    // BoolDisplayBoxStickOn is set), pushed inward to fit the grid and
    // clamped to its voxels.
    IntBox compute_display_box() const;
    // Stores the focus point, clamped to the grid and truncated, as the
    // fixed centre.
    void record_fixed_centre() override;

    void set_wireframe() const override;
    void set_solid() const override;

    // The movement amounts of this frame from the current movement mode,
    // scaled by the elapsed time (at most 0.5 s) and FloatMovementScaling.
    // Return whether the pointer asks for movement.
    bool horizontal_movement(float& amount) override;
    bool vertical_movement(float& amount) override;

    // State read by tools and renderer.
    const Viewport& viewport() const override { return viewport_; }
    View& view() override { return views_.back(); }
    const View& view() const override { return views_.back(); }
    World& world() override { return *world_; }
    const World& world() const { return *world_; }
    PrimitiveDrawer& primitive_drawer() { return *primitive_drawer_; }
    // Largest voxel index on each axis of the current grid.
    std::uint32_t max_voxel_index() const;

    GridAffector& current_affector() const override { return *affectors_[current_affector_]; }
    std::size_t current_affector_index() const { return current_affector_; }
    const char* current_affector_name() const;
    // Steps the brush cycle to the next affector, from the last to the first.
    void select_next_affector();

    const PointerPosition& pointer() const override { return pointer_; }
    const PointerPosition& previous_pointer() const override { return previous_pointer_; }
    // The state last given to button(index, ...): false = pressed, true =
    // released. Indices other than 0, 1, 2 read as released.
    bool button_state(int index) const;
    bool button_pressed(int index) const override { return !button_state(index); }

    double current_frame_time() const { return current_frame_time_; }
    double previous_frame_time() const { return previous_frame_time_; }

    const FixedCentre& fixed_centre() const { return fixed_centre_; }
    std::int32_t capture_armed() const override { return capture_armed_; }
    void set_capture_armed(std::int32_t armed) override { capture_armed_ = armed; }
    bool twist_compensation() const override;
    void set_twist_compensation(bool on) override;
    std::array<bool, 3> mirror_axes() const override;

    const MovementMode& movement_mode() const { return *movement_mode_; }
    void set_movement_mode(const MovementMode& mode) { movement_mode_ = &mode; }

    Tool& current_tool() { return *tools_.back(); }
    const Tool& current_tool() const { return *tools_.back(); }

private:
    // A raw movement amount times the elapsed frame time and the scaling.
    float scale_movement(float raw) const;

    // Declaration order matters: members are destroyed in reverse, and the
    // drawer must go last.
    std::unique_ptr<PrimitiveDrawer> primitive_drawer_;
    std::vector<I_Releasable*> resources_;
    Viewport viewport_;
    std::deque<View> views_;
    std::deque<std::unique_ptr<Tool>> tools_;
    const MovementMode* movement_mode_;
    std::unique_ptr<World> world_;
    FixedCentre fixed_centre_;
    double previous_frame_time_ = 0.0;
    double current_frame_time_ = 0.0;
    bool first_frame_ = true;
    std::int32_t capture_armed_ = 1;
    PointerPosition pointer_;
    PointerPosition previous_pointer_;
    std::array<bool, 3> button_states_{{true, true, true}};
    std::array<std::unique_ptr<GridAffector>, kAffectorCount> affectors_;
    std::size_t current_affector_ = 0;
};
