# On Linux the three embedded resources are compiled into a table that
# findEmbeddedResource searches; on Windows windres compiles the same list
# (data/resources.rc) into the executable.

set(TAVO_RESOURCE_LIST "${CMAKE_SOURCE_DIR}/data/resources.rc")

function(tavo_resource_files out_var)
  file(STRINGS "${TAVO_RESOURCE_LIST}" lines REGEX "^[A-Za-z_0-9]+[ \t]+[A-Za-z_0-9]+[ \t]+\"")
  set(files "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" file "${line}")
    list(APPEND files "${CMAKE_SOURCE_DIR}/data/${file}")
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()

function(tavo_embed_resources target)
  tavo_resource_files(resource_files)
  set(generated "${CMAKE_BINARY_DIR}/generated/embedded_resource_table.cpp")
  add_custom_command(
    OUTPUT "${generated}"
    COMMAND "${CMAKE_COMMAND}" -DLIST=${TAVO_RESOURCE_LIST} -DOUT=${generated}
            -P "${CMAKE_SOURCE_DIR}/cmake/generate_resource_table.cmake"
    DEPENDS "${TAVO_RESOURCE_LIST}" ${resource_files}
            "${CMAKE_SOURCE_DIR}/cmake/generate_resource_table.cmake"
    COMMENT "Embedding data/ resources"
    VERBATIM)
  target_sources(${target} PRIVATE "${generated}")
endfunction()

# Windows: compiles the list with windres into an object of the target.
function(tavo_link_windows_resources target)
  tavo_resource_files(resource_files)
  set(resource_object "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.o")
  add_custom_command(
    OUTPUT "${resource_object}"
    COMMAND "${CMAKE_RC_COMPILER}" "-I${CMAKE_SOURCE_DIR}/data" -O coff
            -i "${TAVO_RESOURCE_LIST}" -o "${resource_object}"
    DEPENDS "${TAVO_RESOURCE_LIST}" ${resource_files}
    COMMENT "Compiling the embedded resources for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${resource_object}")
endfunction()
