#!/usr/bin/env bash
# Builds the Linux mascot (tavo_3d) and starts it on the user's X display
# ($DISPLAY; under Wayland it runs through XWayland). Its settings are kept
# in ${XDG_CONFIG_HOME:-~/.config}/tavo_3d/tavo_3d.ini. End it with its menu's
# exit item (終了) or Ctrl+C.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: DISPLAY is not set; start an X server first (the README shows how with Xvfb)" >&2
  exit 1
fi
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target tavo_3d
exec build/native/src/shell/linux/tavo_3d "$@"
