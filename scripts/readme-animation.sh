#!/usr/bin/env bash
# Redraws docs/images/tavo-walk.gif, the README's animated picture: 24 frames
# of the character's motion from tavo-render --frames, cut to the figure,
# shrunk to three quarters and joined into a looping GIF with ImageMagick.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native --target tavo-render
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/native/tools/render/tavo-render --frames 24 --yaw -30 --out "$work/walk.png" >/dev/null
# The box that holds the figure in every frame, with a small margin.
box="$(convert "$work"/walk-*.png -evaluate-sequence max -trim -format '%w %h %X %Y' info:)"
read -r w h x y <<<"$box"
crop="$((w + 8))x$((h + 8))+$((x - 4))+$((y - 4))"
convert -delay 8 -loop 0 -dispose background "$work"/walk-*.png -crop "$crop" +repage -resize 75% \
  docs/images/tavo-walk.gif
ls -l docs/images/tavo-walk.gif
