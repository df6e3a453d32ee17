// The Python extension module Holloform: sixteen functions over the control
// API (and, after them, the queries, camera access and undo added since) and the integer constants of the
// setting identifiers and action
// numbers. Each function parses its arguments (a failed parse leaves
// Python's own argument error), calls the control API under the exception
// guard and builds its result.

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "host/Holloform.h"
#include "host/python/ModuleConstants.h"
#include "host/python/PythonCallGuard.h"
#include "host/python/VertexCallable.h"

namespace {

// Identifiers and action numbers arrive as signed integers and go on as the
// unsigned value of the same bits, so a negative one is out of range.
std::uint32_t as_id(int value) { return static_cast<std::uint32_t>(value); }

PyObject* py_set_vertex3_func(PyObject*, PyObject* args) {
    PyObject* callable = nullptr;
    if (!PyArg_ParseTuple(args, "O:set_vertex3_func", &callable)) return nullptr;
    if (!PyCallable_Check(callable)) {
        PyErr_SetString(PyExc_TypeError, "Need a callable object!");
        return nullptr;
    }
    if (!call_guarded("py_set_vertex3_func", [&] { store_vertex_callable(callable); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_do_action(PyObject*, PyObject* args) {
    int action = 0;
    if (!PyArg_ParseTuple(args, "i:do_action", &action)) return nullptr;
    if (!call_guarded("Holloform::do_action", [&] { Holloform::do_action(as_id(action)); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_query_bool(PyObject*, PyObject* args) {
    int id = 0;
    if (!PyArg_ParseTuple(args, "i:query_bool", &id)) return nullptr;
    bool value = false;
    if (!call_guarded("Holloform::query_bool", [&] { value = Holloform::query_bool(as_id(id)); })) return nullptr;
    return PyLong_FromLong(value ? 1 : 0);
}

PyObject* py_query_float(PyObject*, PyObject* args) {
    int id = 0;
    if (!PyArg_ParseTuple(args, "i:query_float", &id)) return nullptr;
    float value = 0.0f;
    if (!call_guarded("Holloform::query_float", [&] { value = Holloform::query_float(as_id(id)); })) return nullptr;
    return PyFloat_FromDouble(static_cast<double>(value));
}

PyObject* py_query_int(PyObject*, PyObject* args) {
    int id = 0;
    if (!PyArg_ParseTuple(args, "i:query_int", &id)) return nullptr;
    std::int32_t value = 0;
    if (!call_guarded("Holloform::query_int", [&] { value = Holloform::query_int(as_id(id)); })) return nullptr;
    return PyLong_FromLong(value);
}

PyObject* py_set_bool(PyObject*, PyObject* args) {
    int id = 0;
    int value = 0;
    if (!PyArg_ParseTuple(args, "ii:set_bool", &id, &value)) return nullptr;
    if (!call_guarded("Holloform::set_bool", [&] { Holloform::set_bool(as_id(id), value != 0); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_set_float(PyObject*, PyObject* args) {
    int id = 0;
    float value = 0.0f;
    if (!PyArg_ParseTuple(args, "if:set_float", &id, &value)) return nullptr;
    if (!call_guarded("Holloform::set_float", [&] { Holloform::set_float(as_id(id), value); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_set_int(PyObject*, PyObject* args) {
    int id = 0;
    int value = 0;
    if (!PyArg_ParseTuple(args, "ii:set_int", &id, &value)) return nullptr;
    if (!call_guarded("Holloform::set_int", [&] { Holloform::set_int(as_id(id), value); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_set_string(PyObject*, PyObject* args) {
    int id = 0;
    const char* value = nullptr;
    if (!PyArg_ParseTuple(args, "is:set_string", &id, &value)) return nullptr;
    if (!call_guarded("Holloform::set_string", [&] { Holloform::set_string(as_id(id), value); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_key(PyObject*, PyObject* args) {
    unsigned char key = 0;
    int state = 0;
    if (!PyArg_ParseTuple(args, "bi:key", &key, &state)) return nullptr;
    if (!call_guarded("Holloform::key", [&] { Holloform::key(key, state != 0); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_button(PyObject*, PyObject* args) {
    int button = 0;
    int state = 0;
    if (!PyArg_ParseTuple(args, "ii:button", &button, &state)) return nullptr;
    if (!call_guarded("Holloform::button", [&] { Holloform::button(button, state != 0); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_motion(PyObject*, PyObject* args) {
    int x = 0;
    int y = 0;
    if (!PyArg_ParseTuple(args, "ii:motion", &x, &y)) return nullptr;
    if (!call_guarded("Holloform::motion", [&] { Holloform::motion(x, y); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_reshape(PyObject*, PyObject* args) {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    if (!PyArg_ParseTuple(args, "iiii:reshape", &x, &y, &width, &height)) return nullptr;
    if (!call_guarded("Holloform::reshape", [&] { Holloform::reshape(x, y, width, height); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_display(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":display")) return nullptr;
    if (!call_guarded("Holloform::display", [] { Holloform::display(); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_contact_address(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":contact_address")) return nullptr;
    const char* text = nullptr;
    if (!call_guarded("Holloform::contact_address", [&] { text = Holloform::contact_address(); })) return nullptr;
    return PyUnicode_FromString(text);
}

PyObject* py_copyright_notice(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":copyright_notice")) return nullptr;
    const char* text = nullptr;
    if (!call_guarded("Holloform::copyright_notice", [&] { text = Holloform::copyright_notice(); })) return nullptr;
    return PyUnicode_FromString(text);
}

// Boxes and vectors go to Python as tuples.
template <typename Number, std::size_t N>
PyObject* tuple_of(const std::array<Number, N>& values, PyObject* (*convert)(Number)) {
    PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(N));
    if (tuple == nullptr) return nullptr;
    for (std::size_t i = 0; i < N; ++i) {
        PyObject* item = convert(values[i]);
        if (item == nullptr) {
            Py_DECREF(tuple);
            return nullptr;
        }
        PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(i), item);
    }
    return tuple;
}

PyObject* from_unsigned(std::uint32_t value) { return PyLong_FromUnsignedLong(value); }
PyObject* from_signed(std::int64_t value) { return PyLong_FromLongLong(value); }
PyObject* from_double(double value) { return PyFloat_FromDouble(value); }
PyObject* from_float(float value) { return PyFloat_FromDouble(static_cast<double>(value)); }

PyObject* py_change_count(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":change_count")) return nullptr;
    std::uint64_t count = 0;
    if (!call_guarded("Holloform::change_count", [&] { count = Holloform::change_count(); })) return nullptr;
    return PyLong_FromUnsignedLongLong(count);
}

PyObject* py_grid_side(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":grid_side")) return nullptr;
    std::uint32_t side = 0;
    if (!call_guarded("Holloform::grid_side", [&] { side = Holloform::grid_side(); })) return nullptr;
    return PyLong_FromUnsignedLong(side);
}

PyObject* py_focus_voxel(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":focus_voxel")) return nullptr;
    std::array<std::int64_t, 3> voxel{};
    if (!call_guarded("Holloform::focus_voxel", [&] { voxel = Holloform::focus_voxel(); })) return nullptr;
    return tuple_of(voxel, from_signed);
}

PyObject* py_display_box(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":display_box")) return nullptr;
    std::array<std::uint32_t, 6> box{};
    if (!call_guarded("Holloform::display_box", [&] { box = Holloform::display_box(); })) return nullptr;
    return tuple_of(box, from_unsigned);
}

PyObject* py_solid_bounds(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":solid_bounds")) return nullptr;
    std::array<std::uint32_t, 6> box{};
    bool found = false;
    if (!call_guarded("Holloform::solid_bounds", [&] { found = Holloform::solid_bounds(box); })) return nullptr;
    if (!found) Py_RETURN_NONE;
    return tuple_of(box, from_unsigned);
}

PyObject* py_camera_matrix(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":camera_matrix")) return nullptr;
    std::array<double, 16> matrix{};
    if (!call_guarded("Holloform::camera_matrix", [&] { matrix = Holloform::camera_matrix(); })) return nullptr;
    return tuple_of(matrix, from_double);
}

PyObject* py_set_camera_matrix(PyObject*, PyObject* args) {
    PyObject* sequence = nullptr;
    if (!PyArg_ParseTuple(args, "O:set_camera_matrix", &sequence)) return nullptr;
    PyObject* items = PySequence_Fast(sequence, "set_camera_matrix needs a sequence of 16 numbers");
    if (items == nullptr) return nullptr;
    std::array<double, 16> matrix{};
    const bool sized = PySequence_Fast_GET_SIZE(items) == 16;
    for (Py_ssize_t i = 0; sized && i < 16; ++i) {
        matrix[static_cast<std::size_t>(i)] = PyFloat_AsDouble(PySequence_Fast_GET_ITEM(items, i));
        if (PyErr_Occurred()) break;
    }
    Py_DECREF(items);
    if (!sized) {
        PyErr_SetString(PyExc_ValueError, "set_camera_matrix needs a sequence of 16 numbers");
        return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;
    if (!call_guarded("Holloform::set_camera_matrix", [&] { Holloform::set_camera_matrix(matrix); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_focus_depth(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":focus_depth")) return nullptr;
    std::array<float, 2> depth{};
    if (!call_guarded("Holloform::focus_depth", [&] { depth = Holloform::focus_depth(); })) return nullptr;
    return tuple_of(depth, from_float);
}

PyObject* py_set_focus_depth(PyObject*, PyObject* args) {
    float focus_distance = 0.0f;
    float far_offset = 0.0f;
    if (!PyArg_ParseTuple(args, "ff:set_focus_depth", &focus_distance, &far_offset)) return nullptr;
    if (!call_guarded("Holloform::set_focus_depth", [&] { Holloform::set_focus_depth(focus_distance, far_offset); })) {
        return nullptr;
    }
    Py_RETURN_NONE;
}

// Models in and out: every failure is a RuntimeError naming the file and
// the reason.

PyObject* py_import_model_at(PyObject*, PyObject* args) {
    const char* path = nullptr;
    unsigned int x = 0, y = 0, z = 0, mesh_voxels = 0;
    if (!PyArg_ParseTuple(args, "sIII|I:import_model_at", &path, &x, &y, &z, &mesh_voxels)) return nullptr;
    if (!call_guarded("Holloform::import_model_at", [&] { Holloform::import_model_at(path, x, y, z, mesh_voxels); })) {
        return nullptr;
    }
    Py_RETURN_NONE;
}

PyObject* py_import_model(PyObject*, PyObject* args) {
    const char* path = nullptr;
    int levels = 0;
    unsigned int mesh_voxels = 0;
    if (!PyArg_ParseTuple(args, "s|iI:import_model", &path, &levels, &mesh_voxels)) return nullptr;
    if (!call_guarded("Holloform::import_model", [&] { Holloform::import_model(path, levels, mesh_voxels); })) {
        return nullptr;
    }
    Py_RETURN_NONE;
}

PyObject* py_export_limit_surface(PyObject*, PyObject* args) {
    const char* path = nullptr;
    if (!PyArg_ParseTuple(args, "s:export_limit_surface", &path)) return nullptr;
    if (!call_guarded("Holloform::export_limit_surface", [&] { Holloform::export_limit_surface(path); })) {
        return nullptr;
    }
    Py_RETURN_NONE;
}

PyObject* py_export_vox(PyObject*, PyObject* args) {
    const char* path = nullptr;
    int whole_model = 0;
    if (!PyArg_ParseTuple(args, "s|i:export_vox", &path, &whole_model)) return nullptr;
    if (!call_guarded("Holloform::export_vox", [&] { Holloform::export_vox(path, whole_model != 0); })) return nullptr;
    Py_RETURN_NONE;
}

PyObject* py_import_model_at_focus(PyObject*, PyObject* args) {
    const char* path = nullptr;
    unsigned int mesh_voxels = 0;
    if (!PyArg_ParseTuple(args, "s|I:import_model_at_focus", &path, &mesh_voxels)) return nullptr;
    if (!call_guarded("Holloform::import_model_at_focus",
                      [&] { Holloform::import_model_at_focus(path, mesh_voxels); })) {
        return nullptr;
    }
    Py_RETURN_NONE;
}

PyObject* py_undo_step_count(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":undo_step_count")) return nullptr;
    std::uint32_t count = 0;
    if (!call_guarded("Holloform::undo_step_count", [&] { count = Holloform::undo_step_count(); })) return nullptr;
    return PyLong_FromUnsignedLong(count);
}

PyObject* py_redo_step_count(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":redo_step_count")) return nullptr;
    std::uint32_t count = 0;
    if (!call_guarded("Holloform::redo_step_count", [&] { count = Holloform::redo_step_count(); })) return nullptr;
    return PyLong_FromUnsignedLong(count);
}

PyObject* py_mirror_centre(PyObject*, PyObject* args) {
    if (!PyArg_ParseTuple(args, ":mirror_centre")) return nullptr;
    std::array<double, 3> centre{};
    if (!call_guarded("Holloform::mirror_centre", [&] { centre = Holloform::mirror_centre(); })) return nullptr;
    return Py_BuildValue("(ddd)", centre[0], centre[1], centre[2]);
}

PyMethodDef module_functions[] = {
    {"set_vertex3_func", py_set_vertex3_func, METH_VARARGS,
     "set_vertex3_func(callable) -> None\n\nMakes callable(x, y, z) receive every corner of ActionExportDisplayBox's squares.\nAn error raised by the callable stops the export and is raised again from\ndo_action. TypeError if the argument is not callable."},
    {"do_action", py_do_action, METH_VARARGS,
     "do_action(action) -> None\n\nRuns a numbered action (ActionSave, ActionLoad, ActionUndo, ...). Numbers out of\nrange do nothing. A failed Save or Load raises RuntimeError with the library's\nmessage and the errno and strerror attributes (None when no system call failed)."},
    {"query_bool", py_query_bool, METH_VARARGS,
     "query_bool(id) -> int\n\n1 or 0 for a Bool... setting; 0 for an id out of range."},
    {"query_float", py_query_float, METH_VARARGS,
     "query_float(id) -> float\n\nThe value of a Float... setting; 1.0 for an id out of range."},
    {"query_int", py_query_int, METH_VARARGS,
     "query_int(id) -> int\n\nThe value of an Int... setting; 1 for an id out of range."},
    {"set_bool", py_set_bool, METH_VARARGS,
     "set_bool(id, value) -> None\n\nStores a Bool... setting (any nonzero value is true); ids out of range are ignored."},
    {"set_float", py_set_float, METH_VARARGS,
     "set_float(id, value) -> None\n\nStores a Float... setting as a 32-bit float; ids out of range are ignored."},
    {"set_int", py_set_int, METH_VARARGS,
     "set_int(id, value) -> None\n\nStores an Int... setting; ids out of range are ignored."},
    {"set_string", py_set_string, METH_VARARGS,
     "set_string(id, text) -> None\n\nStores StringSavePath or StringLoadPath (at most 127 bytes are kept, never cut\ninside a UTF-8 sequence; Save and Load of a cut path fail)."},
    {"key", py_key, METH_VARARGS,
     "key(code, pressed) -> None\n\nForwards a key press (pressed nonzero) or release; code is the key's byte."},
    {"button", py_button, METH_VARARGS,
     "button(index, pressed) -> None\n\nForwards a mouse button: 0 left (adds), 1 middle, 2 right (removes)."},
    {"motion", py_motion, METH_VARARGS,
     "motion(x, y) -> None\n\nForwards the pointer position in window pixels."},
    {"reshape", py_reshape, METH_VARARGS,
     "reshape(x, y, width, height) -> None\n\nForwards the window's viewport."},
    {"display", py_display, METH_VARARGS,
     "display() -> None\n\nLets the current tool act and draws one frame into the current OpenGL context;\nthe host swaps buffers."},
    {"contact_address", py_contact_address, METH_VARARGS,
     "contact_address() -> str\n\nThe library's contact address."},
    {"copyright_notice", py_copyright_notice, METH_VARARGS,
     "copyright_notice() -> str\n\nThe library's copyright notice."},
    {"change_count", py_change_count, METH_VARARGS,
     "change_count() -> int\n\nA number naming the grid's contents: a new value whenever voxels change or a "
     "grid is installed (new grid, load); undo and redo give back the number of the contents they restore."},
    {"grid_side", py_grid_side, METH_VARARGS, "grid_side() -> int\n\nVoxels per side of the current grid."},
    {"focus_voxel", py_focus_voxel, METH_VARARGS,
     "focus_voxel() -> (x, y, z)\n\nThe voxel the brush acts on; it may lie outside the grid."},
    {"display_box", py_display_box, METH_VARARGS,
     "display_box() -> (x0, y0, z0, x1, y1, z1)\n\nThe display box in force, voxel indices, both ends inclusive."},
    {"solid_bounds", py_solid_bounds, METH_VARARGS,
     "solid_bounds() -> (x0, y0, z0, x1, y1, z1) or None\n\nThe bounds of the solid voxels (inclusive), "
     "found from the grid's hierarchy; None when no voxel is solid."},
    {"camera_matrix", py_camera_matrix, METH_VARARGS,
     "camera_matrix() -> tuple of 16 floats\n\nThe view matrix (world to eye) in glLoadMatrixd order."},
    {"set_camera_matrix", py_set_camera_matrix, METH_VARARGS,
     "set_camera_matrix(m)\n\nReplaces the view matrix with 16 numbers in glLoadMatrixd order; keep it a "
     "rigid motion. A matrix with a non-finite element is ignored."},
    {"focus_depth", py_focus_depth, METH_VARARGS,
     "focus_depth() -> (focus_distance, far_offset)\n\nEye to focus point, and focus point to far point."},
    {"set_focus_depth", py_set_focus_depth, METH_VARARGS,
     "set_focus_depth(focus_distance, far_offset)\n\nSets both; a focus distance below 1 gives 1, a "
     "negative far offset 0."},
    {"import_model_at", py_import_model_at, METH_VARARGS,
     "import_model_at(path, x, y, z, mesh_voxels=0)\n\nImports a .vox or mesh file into the current grid with its "
     "lower corner at voxel (x, y, z); RuntimeError naming the file and the reason, the grid unchanged."},
    {"import_model", py_import_model, METH_VARARGS,
     "import_model(path, levels=0, mesh_voxels=0)\n\nReplaces the grid by a new clear grid holding the model at "
     "its centre (levels 0: the fewest that hold it)."},
    {"export_limit_surface", py_export_limit_surface, METH_VARARGS,
     "export_limit_surface(path)\n\nWrites the limit surface of the display box to an OBJ, STL or PLY file."},
    {"export_vox", py_export_vox, METH_VARARGS,
     "export_vox(path, whole_model=0)\n\nWrites the solid voxels of the display box, or of the whole model, "
     "to a .vox file."},
    {"import_model_at_focus", py_import_model_at_focus, METH_VARARGS,
     "import_model_at_focus(path, mesh_voxels=0)\n\nimport_model_at with the lower corner at the focus voxel."},
    {"undo_step_count", py_undo_step_count, METH_VARARGS, "undo_step_count() -> int: steps ActionUndo can take back"},
    {"redo_step_count", py_redo_step_count, METH_VARARGS, "redo_step_count() -> int: steps ActionRedo can re-apply"},
    {"mirror_centre", py_mirror_centre, METH_VARARGS,
     "mirror_centre() -> (x, y, z): the point the mirror planes pass through"},
    {nullptr, nullptr, 0, nullptr},
};

// Module state lives in the library and in VertexCallable.cpp, so the
// module keeps none of its own (size -1: one instance per process).
PyModuleDef module_definition = {
    PyModuleDef_HEAD_INIT, "Holloform",
    "The Holloform voxel-sculpting library: settings, actions, event forwarding and\n"
    "queries of the process-wide edit context. Every function takes positional\n"
    "arguments only; file errors raise RuntimeError.", -1, module_functions, nullptr, nullptr, nullptr, nullptr,
};

}  // namespace

PyMODINIT_FUNC PyInit_Holloform() {
    PyObject* module = PyModule_Create(&module_definition);
    if (module == nullptr) return nullptr;
    if (!add_module_constants(module)) {
        Py_DECREF(module);
        return nullptr;
    }
    return module;
}
