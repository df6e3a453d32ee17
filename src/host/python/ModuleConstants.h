#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

// Adds the 56 integer constants (setting identifiers and action numbers) to
// the module, in their published order. Returns false with a Python error
// set when one could not be added.
bool add_module_constants(PyObject* module);
