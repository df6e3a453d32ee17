#pragma once

#include "dynamics/SurfaceVertexSet.h"
#include "grid/IntBox.h"
#include "render/OverlayDrawer.h"

// Draws the links between the surface vertices whose voxels lie in `box`, in
// key order, at the voxels' integer positions: from each vertex a line
// half-way to each of its neighbours, so that a link drawn from both ends
// meets in the middle. A vertex without neighbours stands out as a pink
// point with a pink line to the world origin.
void draw_connectivity(const SurfaceVertexSet& vertices, const IntBox& box, OverlayDrawer& drawer);
