#!/usr/bin/env bash
# Makes the two packages from the CMake install rules with CPack:
#   dist/tavo-3d_<version>_amd64.deb     the Linux program, tools, desktop entry,
#                                        icons, manual pages and characters
#   dist/tavo-3d-<version>-win64.zip     the Windows programs and characters in
#                                        one folder, run from where it is unpacked
# It builds with the native and mingw presets (reusing what scripts/test.sh
# built) and only the targets the packages hold. Run scripts/setup.sh first.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="$(nproc)"
dist="$root/dist"
mkdir -p "$dist"
rm -f "$dist"/tavo-3d_*.deb "$dist"/tavo-3d-*-win64.zip
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# make_package PRESET GENERATOR TARGET...: configure and build the targets,
# then let CPack install them into a package and move it to dist/.
make_package() {
  local preset="$1" generator="$2"
  shift 2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs" --target "$@"
  local out="$work/$preset"
  cpack -G "$generator" --config "build/$preset/CPackConfig.cmake" -B "$out" >/dev/null
  local made
  made="$(find "$out" -maxdepth 1 -type f \( -name '*.deb' -o -name '*.zip' \))"
  if [ "$(printf '%s\n' "$made" | grep -c .)" -ne 1 ]; then
    echo "package.sh: cpack -G $generator made no single package in $out" >&2
    exit 1
  fi
  mv -f "$made" "$dist/"
  echo "package.sh: dist/$(basename "$made")"
}

make_package native DEB tavo_3d tavo-inspect tavo-render tavo_package_files
./scripts/build-mingw-libpng.sh >/dev/null
./scripts/build-mingw-libjpeg.sh >/dev/null
make_package mingw ZIP tavo_3d tavo-inspect tavo-render
