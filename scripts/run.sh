#!/usr/bin/env bash
# Builds the native program and runs it on the current display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)"
if [ -x build/native/src/shell/linux/tavo_3d ]; then
  exec build/native/src/shell/linux/tavo_3d
fi
if [ -x build/native/tools/render/tavo-render ]; then
  # No Linux shell yet: draw one frame of the embedded character instead.
  mkdir -p out
  build/native/tools/render/tavo-render --out out/frame.png
  echo "rendered out/frame.png"
fi
