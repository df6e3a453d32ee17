#include "interaction/MovementMode.h"

#include <cstdint>

#include "interaction/ToolContext.h"

bool pointer_offset_amount(int pos, int extent, float& out) {
    out = 0.0f;
    // A minimised or degenerate viewport has no centre to steer from.
    if (extent <= 0) return false;

    const float size = static_cast<float>(extent);
    float p = static_cast<float>(pos);
    if (!(p > 0.0f)) p = 0.0f;
    if (p > size) p = size;

    const float a = size + 1.0f;
    const double centre = a * 0.5;
    const double dead_zone = (a - centre) * double(0.1f);
    const float hi = static_cast<float>(centre + dead_zone);
    const double lo = centre - dead_zone;

    if (p > hi) {
        out = static_cast<float>((double(p) - hi) / (double(a) - hi));
        return true;
    }
    if (p >= lo) return false;
    out = static_cast<float>(-(lo - p) / (double(a) - hi));
    return true;
}

namespace {

class PointerOffsetMode final : public MovementMode {
public:
    bool horizontal(const ToolContext& context, float& out) const override {
        return pointer_offset_amount(context.pointer().x, context.viewport().width, out);
    }
    bool vertical(const ToolContext& context, float& out) const override {
        return pointer_offset_amount(context.pointer().y, context.viewport().height, out);
    }
};

bool pointer_delta_amount(std::int32_t current, std::int32_t previous, float& out) {
    const std::int64_t travel = std::int64_t(current) - previous;
    out = static_cast<float>(double(travel) * 0.06666666666666667);
    return travel != 0;
}

class PointerDeltaMode final : public MovementMode {
public:
    bool horizontal(const ToolContext& context, float& out) const override {
        return pointer_delta_amount(context.pointer().x, context.previous_pointer().x, out);
    }
    bool vertical(const ToolContext& context, float& out) const override {
        return pointer_delta_amount(context.pointer().y, context.previous_pointer().y, out);
    }
};

}  // namespace

const MovementMode& pointer_offset_mode() {
    static const PointerOffsetMode mode;
    return mode;
}

const MovementMode& pointer_delta_mode() {
    static const PointerDeltaMode mode;
    return mode;
}
