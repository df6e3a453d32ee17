#pragma once

#include "dynamics/PhysicsParameters.h"

class EditContext;

// Draws one frame of the edit context with the current OpenGL context.
void render_frame(EditContext& context);

// The physics switches and constants as the settings hold them now.
PhysicsParameters physics_from_settings(const EditContext& context);
