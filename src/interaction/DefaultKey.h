#pragma once

class ToolContext;

// The key handler every tool falls back to. Announces each call; on a press
// it handles space (clear the voxel at the focus directly), a (switch to
// the world move tool), b (capture the fixed centre / re-arm the capture),
// s (solid display) and w (wireframe display). Other keys and all releases
// do nothing more.
void default_key(ToolContext& context, unsigned char key, bool pressed);
