#!/usr/bin/env bash
# Installs every Debian package the project needs and cross-builds the
# static libpng and libjpeg that the Windows build links.  Safe to run again:
# packages already present are kept and the MinGW library cache is reused.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
APT=(env DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900)

packages=(
  # native build and tests
  build-essential cmake pkg-config ninja-build
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libjpeg62-turbo-dev
  libtinygltf-dev nlohmann-json3-dev
  libosmesa6-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libegl-mesa0
  libgtk-3-dev libx11-dev libxext-dev
  clang libclang-rt-14-dev
  # Windows cross build
  mingw-w64 g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev
  # desktop tests: Wine, X server, input and screenshots
  wine wine64 libwine fonts-wine
  xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic picom
  # several monitors: Xorg with the dummy driver, moved by xrandr
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  # full-screen windows in front of the mascot: a window manager and a terminal
  openbox xterm
  # reading the menu's labels from screenshots
  tesseract-ocr tesseract-ocr-eng
  locales procps python3
  # packages: checks of the .deb and its desktop entry
  lintian desktop-file-utils
)

"${APT[@]}" update
"${APT[@]}" install -y "${packages[@]}"

# Wine shows code-page-932 menu labels only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || true
fi
# The menus in English are tested under en_US; Wine cannot open an exe in a
# folder named outside ASCII under a locale that does not exist.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  $SUDO localedef -i en_US -f UTF-8 en_US.UTF-8 || true
fi
# A locale with a decimal comma lets the tests prove that reading numbers
# does not depend on the process locale (GTK switches to the user's).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || true
fi

"$here/build-mingw-libpng.sh"
"$here/build-mingw-libjpeg.sh"

# The Khronos glTF Validator, from npm, for the tests of the generated
# avatars (Node comes with these machines; Debian's own is older).
if command -v npm >/dev/null && [ ! -d "$here/../.cache/gltf-validator/node_modules/gltf-validator" ]; then
  mkdir -p "$here/../.cache/gltf-validator"
  npm install --prefix "$here/../.cache/gltf-validator" --no-audit --no-fund gltf-validator@2.0.0-dev.3.10
fi
