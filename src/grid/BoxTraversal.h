#pragma once

#include "grid/IntBox.h"
#include "grid/SquareVisitor.h"
#include "grid/VoxelGrid.h"

// Hands every unit face between a solid and a clear voxel inside or on the
// boundary of `box` to `visitor`. Space outside the box counts as solid when
// `outside_solid` is set, as clear otherwise, so the box's walls show faces
// wherever the voxels inside differ from it.
//
// Three passes, along x, then y, then z. Pass x walks the rows (y, z) with z
// in the outer loop and y in the inner one; pass y walks (z, x) with x
// outer; pass z walks (x, y) with y outer. Each row is one or more batches:
// first the faces whose normal points to -axis (a solid voxel entered from
// clear space), then those pointing to +axis (solid left for clear space),
// each direction in the order of the row and at most 16 per batch. A row
// whose faces of one direction reach 16 is flushed at once.
//
// Square corners, with t the face's coordinate on the row's axis and (u, v)
// the row's other two coordinates taken in the order (y, z) for pass x,
// (z, x) for pass y and (x, y) for pass z: (u, v), (u, v + 1),
// (u + 1, v + 1), (u + 1, v), written as (t, u, v) for pass x, (v, t, u)
// for pass y and (u, v, t) for pass z. Faces looking to +axis come with
// corners 1 and 3 exchanged, so every square runs counter-clockwise seen
// from its clear side.
//
// A box whose bounds are reversed or that reaches outside the grid yields
// no faces.
void visit_box_squares(const VoxelGrid& grid, const IntBox& box, SquareVisitor& visitor, bool outside_solid);
