#include "host/python/PythonCallGuard.h"

void raise_library_error(const Util_E26EF::Exception& error, const char* via) {
    if (error.message != nullptr) {
        PyErr_SetString(PyExc_RuntimeError, error.message);
    } else if (error.detail != nullptr) {
        PyErr_SetString(PyExc_RuntimeError, error.detail);
    } else {
        PyErr_Format(PyExc_RuntimeError, "Holloform exception caught via %s", via);
    }
}
