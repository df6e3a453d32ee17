#pragma once

// The clock that times frames: milliseconds since the process started, read
// from a monotonic source (wall-clock changes and processor load do not
// affect it). Tests swap the source to control elapsed time.
using FrameClockSource = double (*)();

// The default source.
double monotonic_milliseconds();

// A reading of the current source.
double read_frame_clock();

// Makes `source` the current source and returns the previous one; null
// restores the default.
FrameClockSource set_frame_clock_source(FrameClockSource source);
