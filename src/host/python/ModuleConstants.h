#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

// Adds an integer constant for every setting identifier and action number
// of core/SettingIds.h to the module, in the list's order. Returns false
// with a Python error set when one could not be added.
bool add_module_constants(PyObject* module);
