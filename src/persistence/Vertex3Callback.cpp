#include "persistence/Vertex3Callback.h"

namespace {

// Constant-initialised, so it is null before any code of the process runs.
Vertex3Func stored_vertex3_func = nullptr;

}  // namespace

void set_vertex3_func(Vertex3Func func) { stored_vertex3_func = func; }

Vertex3Func vertex3_func() { return stored_vertex3_func; }
