#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

// The Python callable that receives exported vertices. The first callable
// stored installs a trampoline as the library's vertex callback; later ones
// only take the place of the stored callable (a callback that the host set
// directly through the library in between stays in place).
//
// The trampoline calls the callable with three floats per vertex. When the
// callable raises, the trampoline throws PythonErrorRaised with the error
// still set, which ends the export at once; the module function running the
// action then returns that error to the script.

// Makes `callable` the stored callable, taking a new reference to it and
// releasing the previous one.
void store_vertex_callable(PyObject* callable);
