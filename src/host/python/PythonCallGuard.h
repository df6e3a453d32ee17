#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <exception>

#include "persistence/Exception.h"

// Thrown by the vertex trampoline when the Python callable raised: the
// Python error is already set and must reach the script as it is. Not
// derived from std::exception, so nothing but the guard below catches it by
// type.
struct PythonErrorRaised {};

// Turns a library error into a RuntimeError with its message, else its
// detail, else "Holloform exception caught via " and `via`. The error's
// attributes errno and strerror give the system's reason, or are None.
void raise_library_error(const Util_E26EF::Exception& error, const char* via);

// Runs `call`, turning whatever C++ exception escapes it into a Python
// error. Returns false when a Python error is set. `via` names the function
// in the fallback messages, e.g. "Holloform::do_action".
template <typename Call>
bool call_guarded(const char* via, Call&& call) {
    try {
        call();
        return true;
    } catch (const PythonErrorRaised&) {
        // The callable's own error stands.
    } catch (const Util_E26EF::Exception& error) {
        raise_library_error(error, via);
    } catch (const std::exception& error) {
        PyErr_SetString(PyExc_RuntimeError, error.what());
    } catch (...) {
        PyErr_Format(PyExc_RuntimeError, "Unknown Exception thrown via %s", via);
    }
    return false;
}
