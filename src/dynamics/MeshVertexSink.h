#pragma once

#include <cstdint>

#include "math/Vector3.h"

// Receives the positions of the surface vertices as a frame's mesh is built; the renderer's surface mesh
// implements it.
class MeshVertexSink {
public:
    virtual ~MeshVertexSink();

    // Appends a vertex and returns its index in the mesh.
    virtual uint32_t add_vertex(const Vector3& position) = 0;
};
