#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "interaction/Viewport.h"

class GridAffector;
class Tool;
class View;
class World;

// What the tools and the movement modes see of the editor: the camera, the
// world and the brush, the pointer and buttons, the movement amounts of this
// frame, the display settings they switch, and the way to replace the
// current tool.
class ToolContext {
public:
    virtual View& view() = 0;
    virtual const View& view() const = 0;
    virtual World& world() = 0;
    virtual GridAffector& current_affector() const = 0;

    virtual const Viewport& viewport() const = 0;
    virtual const PointerPosition& pointer() const = 0;
    virtual const PointerPosition& previous_pointer() const = 0;
    // Whether the button with this index (0 left, 1 middle, 2 right) is held.
    virtual bool button_pressed(int index) const = 0;

    // The movement amounts of this frame; return whether the pointer asks
    // for movement.
    virtual bool horizontal_movement(float& amount) = 0;
    virtual bool vertical_movement(float& amount) = 0;

    // Destroys the current tool and makes new_tool current; the calling tool
    // must not touch itself afterwards.
    virtual void change_tool(std::unique_ptr<Tool> new_tool) = 0;

    // Whether the next capture key press records the fixed centre.
    virtual std::int32_t capture_armed() const = 0;
    virtual void set_capture_armed(std::int32_t armed) = 0;
    virtual void record_fixed_centre() = 0;
    virtual void set_wireframe() const = 0;
    virtual void set_solid() const = 0;
    // The setting that levels the camera's roll after every tool update.
    virtual bool twist_compensation() const = 0;
    virtual void set_twist_compensation(bool on) = 0;
    // The mirror switches for x, y and z that brush applications follow.
    virtual std::array<bool, 3> mirror_axes() const = 0;
    // Closes the world's open undo step, so that an edit made next is a step
    // of its own.
    virtual void end_edit_step() = 0;

protected:
    ~ToolContext() = default;
};
