#pragma once

// The control API: what a C++ host calls to drive the editor. Needs only the
// standard library. Every function runs on the caller's thread; display
// needs the host's OpenGL context to be current.
//
// The forwarding functions (display to do_action) act on one process-wide
// edit context, made by the first of them that is called (a setter or query
// included) and kept until the process ends. If its construction throws, the
// exception reaches the caller and the next call tries again.

#include <array>
#include <cstdint>

#include "core/I_EditContext.h"
#include "core/SettingIds.h"
#include "host/EditContextOwnership.h"
#include "persistence/Exception.h"

// Marks the functions that the shared library exports; everything else in
// it is compiled with hidden visibility.
#define HOLLOFORM_API __attribute__((visibility("default")))

namespace Holloform {

// The receiver of exported vertices: one call per square corner, four
// consecutive calls per square.
using Vertex3Function = void (*)(float x, float y, float z);

HOLLOFORM_API const char* copyright_notice();
HOLLOFORM_API const char* contact_address();

// A new edit context, independent of the process-wide one and owned by the
// handle. Its construction writes the integer, float and bool setting
// defaults into the settings store that every edit context shares; the
// strings keep their values.
HOLLOFORM_API I_EditContextOwnerhip acquire_edit_context();

HOLLOFORM_API void display();
HOLLOFORM_API void reshape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
HOLLOFORM_API void motion(std::int32_t x, std::int32_t y);
// state: false = pressed, true = released.
HOLLOFORM_API void button(std::int32_t button, bool state);
// state: true = pressed, false = released.
HOLLOFORM_API void key(unsigned char key, bool state);

HOLLOFORM_API void set_string(std::uint32_t id, const char* value);
HOLLOFORM_API void set_int(std::uint32_t id, std::int32_t value);
HOLLOFORM_API void set_float(std::uint32_t id, float value);
HOLLOFORM_API void set_bool(std::uint32_t id, bool value);
HOLLOFORM_API std::int32_t query_int(std::uint32_t id);
HOLLOFORM_API float query_float(std::uint32_t id);
HOLLOFORM_API bool query_bool(std::uint32_t id);

// Runs a numbered action (ActionId); numbers from ActionSentinel up do
// nothing. Save and Load throw Util_E26EF::Exception on file failures.
// Whatever the vertex callback throws during an export ends the export and
// leaves do_action unchanged. While do_action runs (that is, from inside the
// vertex callback), display, key and do_action throw std::logic_error
// instead of touching the world the export is reading.
HOLLOFORM_API void do_action(std::uint32_t action);

// Stores the vertex callback shared by every edit context; null included
// (which turns the export off). The last call wins.
HOLLOFORM_API void set_vertex3_func(Vertex3Function callback);

// Queries and camera access for hosts that draw their own guides and keep
// the camera between sessions. Boxes are six voxel indices x0, y0, z0, x1,
// y1, z1, both ends inclusive.

// A number naming the grid's contents: it takes a value never used before
// whenever voxels change (a brush application, the space key's clear) or a
// grid is installed (new grid, load), and undo and redo give back the number
// the restored contents had; it stays put otherwise. A host that notes it at
// a save can tell later whether the grid is the saved one.
HOLLOFORM_API std::uint64_t change_count();
// Voxels per side of the current grid.
HOLLOFORM_API std::uint32_t grid_side();
// The voxel the brush acts on: the focus point truncated toward zero. It may
// lie outside the grid (negative, or at least the grid's side).
HOLLOFORM_API std::array<std::int64_t, 3> focus_voxel();
// The display box the next frame draws (and the export writes).
HOLLOFORM_API std::array<std::uint32_t, 6> display_box();
// The bounds of the solid voxels, found from the grid's hierarchy. False
// (and `bounds` untouched) when no voxel is solid.
HOLLOFORM_API bool solid_bounds(std::array<std::uint32_t, 6>& bounds);
// The camera's view matrix (world to eye), in the element order of
// glLoadMatrixd.
HOLLOFORM_API std::array<double, 16> camera_matrix();
// Replaces the camera's view matrix. A matrix with an element that is not
// finite is ignored. The host keeps it a rigid motion.
HOLLOFORM_API void set_camera_matrix(const std::array<double, 16>& matrix);
// The focus distance (eye to focus point) and the far offset (focus point
// to far point).
HOLLOFORM_API std::array<float, 2> focus_depth();
// Sets both; a focus distance below 1 gives 1 and a negative far offset 0.
// Non-finite values are ignored.
HOLLOFORM_API void set_focus_depth(float focus_distance, float far_offset);

// How many steps ActionUndo and ActionRedo can take back or re-apply. A
// stroke still in progress (its button not yet released) is not counted.
HOLLOFORM_API std::uint32_t undo_step_count();
HOLLOFORM_API std::uint32_t redo_step_count();
// The point the mirror planes (BoolMirrorX/Y/Z) pass through: the grid's
// middle, or the middle of the voxel ActionSetMirrorCentre took.
HOLLOFORM_API std::array<double, 3> mirror_centre();

}  // namespace Holloform

// Models in and out. Each throws std::runtime_error whose message names the
// file and the reason; on failure the grid is left as it was and nothing is
// written. Imports set voxels directly, without settling, inside the safe
// range 2 .. side - 3. A .vox file is read as it is; any other file is read
// as a mesh and its inside voxelized with `mesh_voxels` voxels along its
// longest side. Long imports print their progress to standard error.
namespace Holloform {

// Imports the model into the current grid with its lower corner at voxel
// (x, y, z); a model that would reach outside the safe range is refused.
HOLLOFORM_API void import_model_at(const char* path, std::uint32_t x, std::uint32_t y, std::uint32_t z,
                                   std::uint32_t mesh_voxels);
// Replaces the grid by a new clear grid holding the model at its centre:
// `levels` levels, or with 0 the fewest that hold it.
HOLLOFORM_API void import_model(const char* path, std::int32_t levels, std::uint32_t mesh_voxels);
// Writes the limit surface of the display box, as the last frame left it,
// to an OBJ, STL or PLY file (by the extension).
HOLLOFORM_API void export_limit_surface(const char* path);
// Writes the solid voxels of the display box, or of the whole model (their
// bounding box), to a .vox file.
HOLLOFORM_API void export_vox(const char* path, bool whole_model);
// import_model_at with the lower corner at the voxel holding the camera's
// focus point.
HOLLOFORM_API void import_model_at_focus(const char* path, std::uint32_t mesh_voxels);

}  // namespace Holloform
