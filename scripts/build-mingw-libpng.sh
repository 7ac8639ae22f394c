#!/usr/bin/env bash
# Cross-builds a static libpng for the MinGW-w64 Windows build from Debian's
# own source package, once, into .cache/mingw (found by the mingw preset).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="$root/.cache/mingw"
if [ -f "$prefix/lib/libpng.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "mingw libpng: using $prefix"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
APT=(env DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900)

# Source packages come from the same mirror as the binary ones; the security
# suite is left out because its source indices are not served here.
srclist=/etc/apt/sources.list.d/tavo-debian-src.sources
if [ ! -f "$srclist" ]; then
  mirror=$(grep -hs '^URIs:' /etc/apt/sources.list.d/*.sources | grep -v security | awk '{print $2}' | head -n 1)
  if [ -z "$mirror" ]; then
    mirror=$(grep -hsE '^deb [^#]*debian' /etc/apt/sources.list | grep -v security | awk '{print $2}' | head -n 1)
  fi
  : "${mirror:=http://deb.debian.org/debian}"
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$mirror" | $SUDO tee "$srclist" >/dev/null
  "${APT[@]}" update
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source --download-only libpng1.6 >/dev/null 2>&1 || apt-get source --download-only libpng1.6
dpkg-source --no-check -x libpng1.6_*.dsc src >/dev/null

sysroot=/usr/x86_64-w64-mingw32
cmake -S src -B build -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
  -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres \
  -DCMAKE_FIND_ROOT_PATH="$sysroot" \
  -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
  -DZLIB_LIBRARY="$sysroot/lib/libz.a" -DZLIB_INCLUDE_DIR="$sysroot/include" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
cmake --install build >/dev/null
echo "mingw libpng: built into $prefix"
