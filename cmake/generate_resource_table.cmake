# cmake -DLIST=data/resources.rc -DOUT=table.cpp -P generate_resource_table.cmake
# Writes a C++ table of the resources named in the windres list.

get_filename_component(data_dir "${LIST}" DIRECTORY)
file(STRINGS "${LIST}" lines REGEX "^[A-Za-z_0-9]+[ \t]+[A-Za-z_0-9]+[ \t]+\"")

set(arrays "")
set(entries "")
set(index 0)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([A-Za-z_0-9]+)[ \t]+([A-Za-z_0-9]+)[ \t]+\"([^\"]+)\".*$" "\\1;\\2;\\3" parts "${line}")
  list(GET parts 0 name)
  list(GET parts 1 type)
  list(GET parts 2 file)
  file(READ "${data_dir}/${file}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "alignas(16) const unsigned char resource${index}[] = {\n${bytes}0};\n")
  string(APPEND entries "    {\"${name}\", \"${type}\", resource${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUT}.tmp"
"// Generated from ${LIST} by cmake/generate_resource_table.cmake.\n"
"#include \"resources/embedded_resource_table.h\"\n\n"
"namespace tavo {\nnamespace {\n${arrays}}  // namespace\n\n"
"const EmbeddedResourceEntry kEmbeddedResources[] = {\n${entries}};\n"
"const int kEmbeddedResourceCount = ${index};\n\n}  // namespace tavo\n")
file(RENAME "${OUT}.tmp" "${OUT}")
