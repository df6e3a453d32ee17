#include "host/python/VertexCallable.h"

#include "host/Holloform.h"
#include "host/python/PythonCallGuard.h"

namespace {

// One owned reference, or null until the first store. Never released except
// when replaced: the library may call the trampoline at any time later.
PyObject* stored_callable = nullptr;

void vertex_trampoline(float x, float y, float z) {
    PyObject* callable = stored_callable;
    if (callable == nullptr) return;
    PyObject* arguments = Py_BuildValue("(ddd)", double(x), double(y), double(z));
    if (arguments == nullptr) throw PythonErrorRaised{};
    // The callable may replace itself through set_vertex3_func while it
    // runs; this reference keeps it alive until the call has returned.
    Py_INCREF(callable);
    PyObject* result = PyObject_Call(callable, arguments, nullptr);
    Py_DECREF(arguments);
    Py_DECREF(callable);
    if (result == nullptr) throw PythonErrorRaised{};
    Py_DECREF(result);
}

}  // namespace

void store_vertex_callable(PyObject* callable) {
    PyObject* previous = stored_callable;
    Py_INCREF(callable);
    stored_callable = callable;
    if (previous == nullptr) {
        Holloform::set_vertex3_func(&vertex_trampoline);
        return;
    }
    // Last, since releasing the previous callable may run any Python code,
    // including another set_vertex3_func.
    Py_DECREF(previous);
}
