#pragma once

#include <cstdint>
#include <vector>

#include "grid/SurfaceNeighbours.h"
#include "grid/VoxelPosition.h"

class SurfaceVertexSet;
class World;

// Local upkeep of the surface vertex set after voxels changed. A point with
// surface neighbours has a vertex linked to its neighbours' vertices (made
// when missing); a point without any loses its vertex when removal is allowed.

// Brings the vertex of one grid point in line with the given neighbours:
// finds or creates the vertex of every neighbour, in order, then sets the
// point's neighbour list to them (creating the point's vertex if needed).
// Without neighbours the point's vertex is erased if `allow_removal`.
void link_point(SurfaceVertexSet& vertices, const SurfaceNeighbours& neighbours, uint32_t x, uint32_t y,
                uint32_t z, bool allow_removal);

// link_point with the neighbours the world's grid gives the point now.
void update_point(World& world, uint32_t x, uint32_t y, uint32_t z, bool allow_removal);

// The grid points within one step on each axis of a given position that are
// not given positions themselves, each once, ordered by z, then y, then x.
// Only points from 1 to side - 2 on every axis are listed: a point beyond the
// grid has no voxel, and the neighbourhood of one on the grid's outermost
// layer would be read across the opposite face (coordinates wrap). Removal
// cascades can reach that layer; the full build never links it either.
std::vector<VoxelPosition> neighbourhood_points(const std::vector<VoxelPosition>& positions, uint32_t side);

// update_point with removal allowed on every point of neighbourhood_points.
void update_neighbourhood(World& world, const std::vector<VoxelPosition>& positions);

// After the given voxels were made solid: update_point without removal on
// each of them, in order, then update_neighbourhood around them.
void update_after_additions(World& world, const std::vector<VoxelPosition>& positions);

// After voxels changed both ways (an undo or redo): update_point without
// removal on each added voxel within 1 .. side - 2, update_neighbourhood
// around all of them, then update_point with removal on each removed voxel,
// so no vertex is left pointing at an erased one.
void update_after_changes(World& world, const std::vector<VoxelPosition>& added,
                          const std::vector<VoxelPosition>& removed);
