#!/usr/bin/env bash
# Measures tavo_3d.exe under Wine on a private Xvfb display (no window
# manager, cursor away from the figure) at 10 and 30 fps: the CPU time per
# frame of the exe's process, of wineserver and of the X server (user +
# system time from /proc, divided by the frames of the measured time at the
# nominal rate), and the exe's resident set.
#
#   scripts/measure-wine.sh [--seconds N] [--rounds N] [--exe PATH] [--compare REV]
#
# Without --exe the mingw preset is built. --compare REV cross-builds REV in
# the worktree build/compare/REV (as scripts/measure-linux.sh does) and
# measures both exes by turns, printing the medians and the ratio.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=15
# shellcheck source=scripts/measure-common.sh
. "$root/scripts/measure-common.sh"
parse_options --exe "$@"
exe="$binary"

if [ -z "$exe" ]; then
  ./scripts/build-mingw-libpng.sh >/dev/null
  ./scripts/build-mingw-libjpeg.sh >/dev/null
  cmake --preset mingw >/dev/null
  nice -n 10 cmake --build --preset mingw -j 2 --target tavo_3d >/dev/null
  exe="$root/build/mingw/src/shell/win32/tavo_3d.exe"
fi
[ -f "$exe" ] || { echo "no exe at $exe" >&2; exit 1; }

other=""
if [ -n "$compare" ]; then
  tree="$(compare_tree)"
  cmake -S "$tree" -B "$tree/build-mingw" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-toolchain.cmake" \
        -DTAVO_MINGW_PREFIX="$root/.cache/mingw" >/dev/null
  nice -n 10 cmake --build "$tree/build-mingw" -j 2 --target tavo_3d >/dev/null
  other="$tree/build-mingw/src/shell/win32/tavo_3d.exe"
fi

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 400
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wineserver -w
xdotool mousemove 1275 1019

# The process whose command line names this exe (its folder is private),
# and the wineserver of this script's prefix (other prefixes may have theirs).
exe_pid() { pgrep -f "$1" | head -n 1 || true; }
server_pid() {
  local pid
  for pid in $(pgrep wineserver || true); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return
    fi
  done
}

# run EXE FPS FRAME_SPEED: prints "exe_ms wineserver_ms x_ms rss_kb" per frame
run() {
  local source="$1" fps="$2" frame_speed="$3"
  local folder="$work/run-$RANDOM$RANDOM"
  mkdir -p "$folder"
  cp "$source" "$folder/tavo_3d.exe"
  printf '[Mode]\r\nFrameSpeed=%d\r\nEscapeSpeed=1\r\nActionSpeed=0\r\n' "$frame_speed" >"$folder/tavo_3d.ini"
  (cd "$folder" && wine "$folder/tavo_3d.exe" >/dev/null 2>&1 &) 2>/dev/null
  local pid="" server=""
  for _ in $(seq 200); do pid="$(exe_pid "$folder/tavo_3d.exe")"; [ -n "$pid" ] && break; sleep 0.05; done
  server="$(server_pid)"
  [ -n "$pid" ] && [ -n "$server" ] || { echo "the exe did not start" >&2; exit 1; }
  sleep 5
  local a0 w0 x0 t0 a1 w1 x1 t1 rss
  a0="$(cpu_ticks "$pid")"; w0="$(cpu_ticks "$server")"; x0="$(cpu_ticks "$xvfb_pid")"; t0="$(date +%s%N)"
  sleep "$seconds"
  a1="$(cpu_ticks "$pid")"; w1="$(cpu_ticks "$server")"; x1="$(cpu_ticks "$xvfb_pid")"; t1="$(date +%s%N)"
  rss="$(status_kb "$pid" VmRSS)"
  kill -TERM "$pid" 2>/dev/null || true
  wineserver -w
  awk -v fps="$fps" -v a="$((a1 - a0))" -v w="$((w1 - w0))" -v x="$((x1 - x0))" -v hz="$clock_ticks" \
      -v ns="$((t1 - t0))" -v rss="$rss" 'BEGIN {
    frames = fps * ns / 1e9
    printf "%.3f %.3f %.3f %d\n", 1000 * a / hz / frames, 1000 * w / hz / frames, 1000 * x / hz / frames, rss
  }'
}

line() {  # label fps exe wineserver x rss
  awk -v label="$1" -v fps="$2" -v a="$3" -v w="$4" -v x="$5" -v rss="$6" 'BEGIN {
    printf "%-10s %2d fps: exe %5.2f  wineserver %5.2f  X server %5.2f  together %5.2f ms/frame  resident %5.1f MB\n",
           label, fps, a, w, x, a + w + x, rss / 1024
  }'
}

echo "tavo_3d.exe under Wine on $DISPLAY, ${seconds} s per measurement, ${rounds} round(s), load $(cut -d' ' -f1-3 /proc/loadavg)"
for rate in "10 0" "30 3"; do
  set -- $rate
  fps="$1" speed="$2"
  : >"$work/this-$fps"; : >"$work/other-$fps"
  for _ in $(seq "$rounds"); do
    [ -n "$other" ] && run "$other" "$fps" "$speed" >>"$work/other-$fps"
    run "$exe" "$fps" "$speed" >>"$work/this-$fps"
  done
  read -r a w x rss < <(summarise "$work/this-$fps")
  line "this tree" "$fps" "$a" "$w" "$x" "$rss"
  if [ -n "$other" ]; then
    read -r oa ow ox orss < <(summarise "$work/other-$fps")
    line "${compare:0:10}" "$fps" "$oa" "$ow" "$ox" "$orss"
    awk -v a="$a" -v w="$w" -v x="$x" -v oa="$oa" -v ow="$ow" -v ox="$ox" 'BEGIN {
      printf "%-10s %2s      exe %5.2f x   together %5.2f x\n", "ratio", "", a / oa, (a + w + x) / (oa + ow + ox)
    }'
  fi
done
