#include "dynamics/MeshVertexSink.h"

MeshVertexSink::~MeshVertexSink() = default;
