#pragma once

// The host's receiver of exported vertices: one call per square corner, four
// consecutive calls per square.
using Vertex3Func = void (*)(float x, float y, float z);

// Stores the process-wide vertex3 callback, shared by every edit context.
// Whatever is given is stored, null included (which turns the export off);
// a later call replaces an earlier one. Null until the first call.
void set_vertex3_func(Vertex3Func func);

// The stored callback, or null.
Vertex3Func vertex3_func();
