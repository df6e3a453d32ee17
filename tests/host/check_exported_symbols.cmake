# Fails unless the shared library's defined dynamic symbols are exactly the
# control API. Run as: cmake -DNM=... -DLIBRARY=... -P this file.
set(expected
  "Holloform::acquire_edit_context()"
  "Holloform::button(int, bool)"
  "Holloform::contact_address()"
  "Holloform::copyright_notice()"
  "Holloform::display()"
  "Holloform::do_action(unsigned int)"
  "Holloform::key(unsigned char, bool)"
  "Holloform::motion(int, int)"
  "Holloform::query_bool(unsigned int)"
  "Holloform::query_float(unsigned int)"
  "Holloform::query_int(unsigned int)"
  "Holloform::reshape(int, int, int, int)"
  "Holloform::set_bool(unsigned int, bool)"
  "Holloform::set_float(unsigned int, float)"
  "Holloform::set_int(unsigned int, int)"
  "Holloform::set_string(unsigned int, char const*)"
  "Holloform::set_vertex3_func(void (*)(float, float, float))"
  "Holloform::change_count()"
  "Holloform::grid_side()"
  "Holloform::focus_voxel()"
  "Holloform::display_box()"
  "Holloform::solid_bounds(std::array<unsigned int, 6ul>&)"
  "Holloform::camera_matrix()"
  "Holloform::set_camera_matrix(std::array<double, 16ul> const&)"
  "Holloform::focus_depth()"
  "Holloform::set_focus_depth(float, float)"
  "Holloform::import_model_at(char const*, unsigned int, unsigned int, unsigned int, unsigned int)"
  "Holloform::import_model(char const*, int, unsigned int)"
  "Holloform::export_limit_surface(char const*)"
  "Holloform::export_vox(char const*, bool)"
  "Holloform::import_model_at_focus(char const*, unsigned int)"
  "Holloform::undo_step_count()"
  "Holloform::redo_step_count()"
  "Holloform::mirror_centre()")

execute_process(COMMAND ${NM} -D --defined-only --demangle ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

# Each line: address, type letter, name.
string(REPLACE "\n" ";" lines "${listing}")
set(exported "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]+ [A-Za-z] (.+)$")
    list(APPEND exported "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT exported)
list(SORT expected)
if(NOT exported STREQUAL expected)
  string(REPLACE ";" "\n  " shown "${exported}")
  message(FATAL_ERROR "libholloform.so exports:\n  ${shown}")
endif()
list(LENGTH exported count)
message(STATUS "libholloform.so exports the ${count} control API functions")
