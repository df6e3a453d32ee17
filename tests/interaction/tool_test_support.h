#pragma once

#include <memory>

#include "core/EditContext.h"
#include "core/SettingIds.h"
#include "core/edit_context_test_support.h"
#include "interaction/MovementMode.h"
#include "interaction/Tool.h"

// Runs frames of the current tool without drawing. Every frame lasts 0.1 s
// and uses the pointer-delta mode with a scaling that makes the movement
// amounts the pointer's travel over 15 pixels.
class ToolDriver {
public:
    explicit ToolDriver(EditContext& context) : context_(context) {
        context.set_movement_mode(pointer_delta_mode());
        context.set_float(FloatMovementScaling, 0.5f);
    }

    // One frame in which the pointer travelled (dx, dy) pixels.
    void frame(int dx, int dy) {
        context_.motion(context_.pointer().x + dx, context_.pointer().y + dy);
        context_.begin_frame();
        context_.current_tool().update();
        context_.end_frame();
        clock_.advance(100.0);
    }

    // Replaces the current tool without the status lines.
    template <class T>
    void use() {
        testing::internal::CaptureStdout();
        Tool::change_tool(context_, make_tool<T>(context_));
        testing::internal::GetCapturedStdout();
    }

    // A key event with its status lines swallowed.
    void key(unsigned char key, bool pressed) {
        testing::internal::CaptureStdout();
        context_.key(key, pressed);
        testing::internal::GetCapturedStdout();
    }

private:
    EditContext& context_;
    ManualClock clock_{0.0};
};
