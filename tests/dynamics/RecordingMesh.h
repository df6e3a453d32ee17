#pragma once

#include <vector>

#include "dynamics/MeshVertexSink.h"

// A mesh that only records the positions it is given.
class RecordingMesh : public MeshVertexSink {
public:
    uint32_t add_vertex(const Vector3& position) override {
        positions.push_back(position);
        return static_cast<uint32_t>(positions.size() - 1);
    }
    std::vector<Vector3> positions;
};
