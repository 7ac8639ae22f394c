#!/usr/bin/env bash
# Cross-builds a static libjpeg (libjpeg-turbo) for the MinGW-w64 Windows
# build from Debian's own source package, once, into .cache/mingw beside the
# libpng of build-mingw-libpng.sh (which also adds the deb-src entry this
# script needs).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="$root/.cache/mingw"
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  echo "mingw libjpeg: using $prefix"
  exit 0
fi
if [ ! -f /etc/apt/sources.list.d/tavo-debian-src.sources ]; then
  "$root/scripts/build-mingw-libpng.sh"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source --download-only libjpeg-turbo >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo
dpkg-source --no-check -x libjpeg-turbo_*.dsc src >/dev/null

# No SIMD (it would need nasm), no TurboJPEG API and no shared library: only
# the classic libjpeg interface, linked statically into the exe. Without an
# install prefix CMake would stop on its "c:/..." default.
cmake -S src -B build -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" \
  -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
cmake --install build >/dev/null
echo "mingw libjpeg: built into $prefix"
