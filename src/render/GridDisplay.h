#pragma once

#include <cstdint>

struct FrameInput;

// The squares display: every face between a solid and a clear voxel of the
// frame's display box as a flat quad coloured by its direction (space outside the box counts
// as clear). With BoolCountFaces on, the number of squares is reported now
// and then on standard output.
void draw_grid_as_squares(const FrameInput& frame);

// The limit surface display: rebuilds the process-wide surface mesh over the
// frame's display box, advancing every vertex it meets by one physics step, and draws it lit
// (BoolLightingOn), textured (BoolD_TexturingOn) and fogged (BoolFoggingOn)
// as the settings say. Each call is one surface frame. With BoolCountFaces
// on, the number of triangles is reported now and then.
void draw_grid_as_limit_surface(const FrameInput& frame);

// The surface frame counter: it starts at 1 and moves on after every limit
// surface display. A vertex remembers the frame it was last shown in, and a
// new vertex holds 0, so the counter never takes the value 0, not even when
// it wraps.
uint32_t surface_frame();
void advance_surface_frame();
// The frame after `frame`, skipping 0.
uint32_t frame_after(uint32_t frame);
