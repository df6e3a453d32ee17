#include "host/python/ModuleConstants.h"

#include "core/SettingIds.h"

namespace {

struct Constant {
    const char* name;
    long value;
};

// Every setting identifier and action number, in the list's order.
#define HOLLOFORM_CONSTANT(name, number) Constant{#name, name},
const Constant kConstants[] = {HOLLOFORM_SETTING_AND_ACTION_IDS(HOLLOFORM_CONSTANT)};
#undef HOLLOFORM_CONSTANT

bool add_constant(PyObject* module, const Constant& constant) {
    PyObject* number = PyLong_FromLong(constant.value);
    if (number == nullptr) return false;
    const int status = PyModule_AddObjectRef(module, constant.name, number);
    Py_DECREF(number);
    return status == 0;
}

}  // namespace

bool add_module_constants(PyObject* module) {
    for (const Constant& constant : kConstants) {
        if (!add_constant(module, constant)) return false;
    }
    return true;
}
