# Install rules and CPack settings for the two packages that
# scripts/package.sh makes:
#   Linux:   dist/tavo-3d_<version>_<arch>.deb  (cpack -G DEB in the native build)
#   Windows: dist/tavo-3d-<version>-win64.zip   (cpack -G ZIP in the mingw build)
# Everything in them comes from these rules; nothing is copied by hand.

# Sanitizer and fuzzing builds are for testing, never shipped.
if(TAVO_SANITIZE OR TAVO_FUZZ)
  return()
endif()

set(TAVO_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")
set(TAVO_CHARACTERS_DIR "${CMAKE_SOURCE_DIR}/characters")
# "cmake --install" and cpack install what is built; they do not build the
# whole tree (tests and benchmarks) first. package.sh builds what they need.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The shipped characters, one folder each. The folder may not exist yet in a
# checkout; the glob makes CMake look again when it appears.
function(tavo_install_characters destination)
  file(GLOB character_entries CONFIGURE_DEPENDS "${TAVO_CHARACTERS_DIR}/*")
  if(character_entries)
    install(DIRECTORY "${TAVO_CHARACTERS_DIR}/" DESTINATION "${destination}"
            FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endfunction()

set(CPACK_PACKAGE_NAME "tavo-3d")
set(CPACK_PACKAGE_VENDOR "The Tavo_3D developers")
set(CPACK_PACKAGE_CONTACT "Tavo_3D developers <tavo3d@users.noreply.example.org>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated 3D character that walks on the desktop")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # --- The Windows zip: one folder, everything beside the exe -------------
  install(TARGETS tavo_3d tavo-inspect tavo-render RUNTIME DESTINATION .)
  tavo_install_characters(characters)
  configure_file("${TAVO_PACKAGING_DIR}/windows/README.txt" "${CMAKE_BINARY_DIR}/package/README.txt"
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file("${TAVO_PACKAGING_DIR}/copyright" "${CMAKE_BINARY_DIR}/package/LICENSE.txt"
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES "${CMAKE_BINARY_DIR}/package/README.txt" "${CMAKE_BINARY_DIR}/package/LICENSE.txt"
          DESTINATION .)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "tavo-3d-${PROJECT_VERSION}-win64")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  include(CPack)
  return()
endif()

# --- The Debian package ------------------------------------------------------
include(GNUInstallDirs)
install(TARGETS tavo_3d tavo-inspect tavo-render RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${TAVO_PACKAGING_DIR}/linux/tavo_3d.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
tavo_install_characters("${CMAKE_INSTALL_DATADIR}/tavo_3d/characters")

# Icons: the character drawn by tavo-render at each size during the build.
set(icon_files "")
foreach(size IN ITEMS 48 128 256)
  set(icon "${CMAKE_BINARY_DIR}/package/icons/${size}x${size}/tavo_3d.png")
  add_custom_command(
    OUTPUT "${icon}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/package/icons/${size}x${size}"
    COMMAND tavo-render --icon ${size} --yaw -30 --phase 0.25 --out "${icon}"
    DEPENDS tavo-render
    COMMENT "Drawing the ${size} x ${size} icon"
    VERBATIM)
  list(APPEND icon_files "${icon}")
  install(FILES "${icon}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()

# Manual pages and the changelog, compressed as Debian keeps them (-n: no
# name or time stamp, so the bytes depend on the text alone).
set(compressed_files "")
function(tavo_gzip source target)
  add_custom_command(
    OUTPUT "${target}"
    COMMAND gzip -9n -c "${source}" > "${target}"
    DEPENDS "${source}"
    VERBATIM)
  set(compressed_files ${compressed_files} "${target}" PARENT_SCOPE)
endfunction()
foreach(page IN ITEMS tavo_3d tavo-inspect tavo-render)
  configure_file("${TAVO_PACKAGING_DIR}/man/${page}.1" "${CMAKE_BINARY_DIR}/package/man/${page}.1" @ONLY)
  tavo_gzip("${CMAKE_BINARY_DIR}/package/man/${page}.1" "${CMAKE_BINARY_DIR}/package/man/${page}.1.gz")
  install(FILES "${CMAKE_BINARY_DIR}/package/man/${page}.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()
tavo_gzip("${TAVO_PACKAGING_DIR}/linux/changelog" "${CMAKE_BINARY_DIR}/package/changelog.gz")
install(FILES "${CMAKE_BINARY_DIR}/package/changelog.gz" "${TAVO_PACKAGING_DIR}/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tavo-3d")

add_custom_target(tavo_package_files ALL DEPENDS ${icon_files} ${compressed_files})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the synopsis; this is the extended description.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tavo_3D puts a textured 3D character on the X11 desktop in a frameless,\n"
    "always-on-top window that shows nothing but the figure. The character walks\n"
    "along the screen, turns, plays its motion and runs from the mouse pointer. A\n"
    "click on it opens a menu of speeds, characters and start at login.\n"
    "\n"
    "The package also holds tavo-inspect, which checks a character's model and\n"
    "motions, and tavo-render, which draws a character into PNG pictures.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
