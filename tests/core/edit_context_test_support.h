#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/EditContext.h"
#include "core/FrameClock.h"
#include "interaction/Tool.h"
#include "interaction/View.h"
#include "render/I_Releasable.h"

// Replaces the frame clock by a hand-set one for the lifetime of the object.
class ManualClock {
public:
    explicit ManualClock(double start_ms) : previous_(set_frame_clock_source(&read)) { now_ms() = start_ms; }
    ~ManualClock() { set_frame_clock_source(previous_); }
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;
    void advance(double ms) { now_ms() += ms; }

private:
    static double& now_ms() {
        static double now = 0.0;
        return now;
    }
    static double read() { return now_ms(); }
    FrameClockSource previous_;
};

// Moves the eye so that the view's focus point lands on `focus`.
inline void place_focus(View& view, const Vector3& focus) {
    const Vector3 forward = view.forward_vector();
    view.move_eye_to(focus - forward * view.focus_distance());
}

// A tool that writes every call it gets into a log shared with the test.
class RecordingTool final : public Tool {
public:
    RecordingTool(EditContext& owner, std::vector<std::string>& log) : Tool(owner), context_(owner), log_(log) {}
    ~RecordingTool() override { log_.push_back("destroyed"); }

    void motion(int x, int y) override { log_.push_back("motion " + std::to_string(x) + " " + std::to_string(y)); }
    void button(int b, int state) override { log_.push_back("button " + std::to_string(b) + " " + std::to_string(state)); }
    void key(unsigned char key, bool pressed) override { log_.push_back(std::string("key ") + char(key) + (pressed ? " down" : " up")); }
    void update() override {
        float h = 0.0f;
        elapsed_.push_back(context_.current_frame_time() - context_.previous_frame_time());
        amounts_.push_back(context_.horizontal_movement(h) ? h : 0.0f);
        log_.push_back("update");
    }

    std::vector<double> elapsed_;
    std::vector<float> amounts_;

private:
    EditContext& context_;
    std::vector<std::string>& log_;
};

// A resource that writes its release into a log shared with the test.
class RecordingResource final : public I_Releasable {
public:
    RecordingResource(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void release() override { log_.push_back("release " + name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

// Installs a RecordingTool as the context's current tool and returns it.
inline RecordingTool& install_recording_tool(EditContext& context, std::vector<std::string>& log) {
    auto tool = std::make_unique<RecordingTool>(context, log);
    RecordingTool& result = *tool;
    testing::internal::CaptureStdout();
    context.change_tool(std::move(tool));
    testing::internal::GetCapturedStdout();
    return result;
}
