#include "core/FrameClock.h"

#include <chrono>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Taken while the library is being loaded, which is as close to the start of
// the process as a library can get.
const SteadyClock::time_point process_start = SteadyClock::now();

FrameClockSource current_source = &monotonic_milliseconds;

}  // namespace

double monotonic_milliseconds() {
    const std::chrono::duration<double, std::milli> elapsed = SteadyClock::now() - process_start;
    return elapsed.count();
}

double read_frame_clock() { return current_source(); }

FrameClockSource set_frame_clock_source(FrameClockSource source) {
    const FrameClockSource previous = current_source;
    current_source = source != nullptr ? source : &monotonic_milliseconds;
    return previous;
}
