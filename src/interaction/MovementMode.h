#pragma once

class ToolContext;

// Turns the pointer into raw per-frame movement amounts. Each operation
// writes an amount in [-1, 1] (pointer-offset mode) or proportional to the
// pointer's travel (pointer-delta mode) and returns whether there is any
// movement; the edit context then scales the amount by the frame time.
class MovementMode {
public:
    virtual bool horizontal(const ToolContext& context, float& out) const = 0;
    virtual bool vertical(const ToolContext& context, float& out) const = 0;

protected:
    ~MovementMode() = default;
};

// Rate control: the pointer's distance from the viewport centre, with a
// dead zone of 10 % of the half extent around it. Positive right of and
// below the centre. The default mode.
const MovementMode& pointer_offset_mode();

// The pointer's travel since the previous frame, 1/15 per pixel.
const MovementMode& pointer_delta_mode();

// The pointer-offset amount for one axis: pos on a viewport of `extent`
// pixels. Exposed for testing.
bool pointer_offset_amount(int pos, int extent, float& out);
