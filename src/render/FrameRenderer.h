#pragma once

class EditContext;

// Draws one frame of the edit context with the current OpenGL context.
void render_frame(EditContext& context);
