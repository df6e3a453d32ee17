#pragma once

#include "grid/BitPlane.h"
#include "grid/CellState.h"

// A node of the grid hierarchy: the state of its 512 children. A child with
// its subdivided bit set has a node (or leaf block) of its own one level
// down, and its solid bit means nothing; otherwise the solid bit says whether
// the child is wholly solid or wholly clear.
struct GridNode {
    BitPlane subdivided;
    BitPlane solid;

    CellState state(ChildIndex c) const {
        if (subdivided.test(c)) return CellState::Subdivided;
        return solid.test(c) ? CellState::Solid : CellState::Clear;
    }

    // Solid and not subdivided: the child is wholly solid.
    bool child_solid(ChildIndex c) const { return solid.test(c) && !subdivided.test(c); }

    // Marks the child wholly solid or wholly clear.
    void make_uniform(ChildIndex c, bool solid_child) {
        subdivided.reset(c);
        solid.assign(c, solid_child);
    }

    // True when no child is subdivided and every child is solid (or clear).
    bool is_uniform(bool solid_children) const {
        return subdivided.is_all_zeros() && solid.is_uniform(solid_children);
    }

    bool operator==(const GridNode& other) const {
        return subdivided == other.subdivided && solid == other.solid;
    }
    bool operator!=(const GridNode& other) const { return !(*this == other); }
};
