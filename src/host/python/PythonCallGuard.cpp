#include "host/python/PythonCallGuard.h"

#include <cstring>

namespace {

PyObject* new_none() {
    Py_INCREF(Py_None);
    return Py_None;
}

// The system's error number and its text, or None for both when the library
// error did not come from a failed system call.
bool attach_system_error(PyObject* exception, int error_number) {
    PyObject* number = error_number != 0 ? PyLong_FromLong(error_number) : new_none();
    PyObject* text = error_number != 0 ? PyUnicode_DecodeLocale(std::strerror(error_number), "surrogateescape")
                                       : new_none();
    const bool attached = number != nullptr && text != nullptr &&
                          PyObject_SetAttrString(exception, "errno", number) == 0 &&
                          PyObject_SetAttrString(exception, "strerror", text) == 0;
    Py_XDECREF(number);
    Py_XDECREF(text);
    return attached;
}

}  // namespace

void raise_library_error(const Util_E26EF::Exception& error, const char* via) {
    PyObject* text = error.message != nullptr  ? PyUnicode_FromString(error.message)
                     : error.detail != nullptr ? PyUnicode_FromString(error.detail)
                                               : PyUnicode_FromFormat("Holloform exception caught via %s", via);
    if (text == nullptr) return;
    PyObject* exception = PyObject_CallOneArg(PyExc_RuntimeError, text);
    Py_DECREF(text);
    if (exception == nullptr) return;
    if (attach_system_error(exception, error.error_number)) PyErr_SetObject(PyExc_RuntimeError, exception);
    Py_DECREF(exception);
}
