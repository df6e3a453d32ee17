cmake_minimum_required(VERSION 3.16)
# Fails when a source folder includes a header of a folder above it.
# Run as: cmake -DSOURCE_DIR=<repo>/src -P check_layers.cmake
# The floors, bottom to top; each folder may include itself and the floors
# below it.
set(LAYERS math dynamics grid persistence interaction render core exchange host)

set(upward "")
foreach(folder IN LISTS LAYERS)
  list(FIND LAYERS ${folder} own_rank)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"(([^\"/]+)/[^\"]*)\".*$" "\\1" header "${line}")
      string(REGEX REPLACE "/.*$" "" target "${header}")
      list(FIND LAYERS ${target} target_rank)
      file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
      if(target_rank GREATER own_rank)
        list(APPEND upward "  ${shown}: #include \"${header}\"")
      endif()
    endforeach()
  endforeach()
endforeach()

file(GLOB folders LIST_DIRECTORIES true RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY ${SOURCE_DIR}/${folder} AND NOT folder IN_LIST LAYERS)
    list(APPEND upward "  ${folder}/: a folder without a floor in the layer list")
  endif()
endforeach()

if(upward)
  string(REPLACE ";" "\n" upward "${upward}")
  string(REPLACE ";" " < " floors "${LAYERS}")
  message(FATAL_ERROR "Includes that reach up a floor (${floors}):\n${upward}")
endif()
