# libpng, zlib, libjpeg, OpenGL 1.1 and GLU for the core, as imported
# targets tavo::png, tavo::jpeg and tavo::gl.

if(WIN32)
  # Static libpng cross-built by scripts/build-mingw-libpng.sh.
  set(TAVO_MINGW_PREFIX "${CMAKE_SOURCE_DIR}/.cache/mingw" CACHE PATH "MinGW libpng prefix")
  if(NOT EXISTS "${TAVO_MINGW_PREFIX}/lib/libpng.a")
    message(FATAL_ERROR "No MinGW libpng in ${TAVO_MINGW_PREFIX}: run scripts/build-mingw-libpng.sh")
  endif()
  add_library(tavo_png INTERFACE)
  target_include_directories(tavo_png INTERFACE "${TAVO_MINGW_PREFIX}/include")
  target_link_libraries(tavo_png INTERFACE "${TAVO_MINGW_PREFIX}/lib/libpng.a" z)
  add_library(tavo::png ALIAS tavo_png)

  # Static libjpeg cross-built by scripts/build-mingw-libjpeg.sh.
  if(NOT EXISTS "${TAVO_MINGW_PREFIX}/lib/libjpeg.a")
    message(FATAL_ERROR "No MinGW libjpeg in ${TAVO_MINGW_PREFIX}: run scripts/build-mingw-libjpeg.sh")
  endif()
  add_library(tavo_jpeg INTERFACE)
  target_include_directories(tavo_jpeg INTERFACE "${TAVO_MINGW_PREFIX}/include")
  target_link_libraries(tavo_jpeg INTERFACE "${TAVO_MINGW_PREFIX}/lib/libjpeg.a")
  add_library(tavo::jpeg ALIAS tavo_jpeg)

  add_library(tavo_gl INTERFACE)
  target_link_libraries(tavo_gl INTERFACE glu32 opengl32 gdi32)
  add_library(tavo::gl ALIAS tavo_gl)
else()
  find_package(PNG REQUIRED)
  add_library(tavo_png INTERFACE)
  target_link_libraries(tavo_png INTERFACE PNG::PNG)
  add_library(tavo::png ALIAS tavo_png)

  find_package(JPEG REQUIRED)
  add_library(tavo_jpeg INTERFACE)
  target_link_libraries(tavo_jpeg INTERFACE JPEG::JPEG)
  add_library(tavo::jpeg ALIAS tavo_jpeg)

  # OSMesa supplies the GL entry points for both back ends: EGL's Mesa driver
  # and OSMesa share Mesa's dispatch (libglapi), so the calls reach whichever
  # context is current. EGL comes second, GLU after them, and libGL or
  # libOpenGL is never linked (it would take the entry points away).
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(OSMESA REQUIRED IMPORTED_TARGET osmesa)
  pkg_check_modules(EGL REQUIRED IMPORTED_TARGET egl)
  pkg_check_modules(GLU REQUIRED IMPORTED_TARGET glu)
  add_library(tavo_gl INTERFACE)
  target_link_libraries(tavo_gl INTERFACE PkgConfig::OSMESA PkgConfig::EGL PkgConfig::GLU m)
  add_library(tavo::gl ALIAS tavo_gl)
endif()

# glTF: tinygltf and nlohmann/json from Debian, header only. Both builds take
# them from a copy of just those headers, so that the Windows build sees no
# other Linux header.
foreach(header IN ITEMS /usr/include/tiny_gltf.h /usr/include/nlohmann/json.hpp)
  if(NOT EXISTS "${header}")
    message(FATAL_ERROR "${header} is missing: install libtinygltf-dev and nlohmann-json3-dev (scripts/setup.sh)")
  endif()
endforeach()
set(TAVO_GLTF_HEADERS "${CMAKE_BINARY_DIR}/gltf_headers")
file(COPY /usr/include/tiny_gltf.h DESTINATION "${TAVO_GLTF_HEADERS}")
file(COPY /usr/include/nlohmann DESTINATION "${TAVO_GLTF_HEADERS}")
add_library(tavo_gltf INTERFACE)
target_include_directories(tavo_gltf SYSTEM INTERFACE "${TAVO_GLTF_HEADERS}")
add_library(tavo::gltf ALIAS tavo_gltf)
