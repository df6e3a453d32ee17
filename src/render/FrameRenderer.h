#pragma once

struct FrameInput;

// Draws one frame with the current OpenGL context.
void draw_frame(FrameInput& frame);
