#!/usr/bin/env bash
# Measures the Linux tavo_3d's CPU use and memory at 10 fps and at 30 fps on
# a private Xvfb display (no window manager, no compositor), with the cursor
# away from the figure.
#
#   scripts/measure-linux.sh [--seconds N] [--rounds N] [--binary PATH] [--compare REV]
#
# For each rate it prints the CPU time per frame of the program and of the X
# server (user + system time from /proc over N seconds, default 20, after a
# few seconds of start-up, divided by the frames of that time at the nominal
# rate), the share of one core both together take, and the resident set
# (VmRSS) at the end; then the CPU use while the mascot hides behind a
# full-screen window. Beside it comes the floor: the same toolkit and GL back
# end with an empty window and nothing drawn (tavo_floor_window).
#
# --compare REV builds REV in a git worktree (build/compare/REV) and measures
# both programs by turns, each rate --rounds times (default 3), then prints
# the medians and the ratio of this tree to REV. CPU time, not wall time, is
# counted, so a busy machine slows the run down but skews the figures little.
# TAVO_GL is passed on to the programs (osmesa or egl forces a back end).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=20
# shellcheck source=scripts/measure-common.sh
. "$root/scripts/measure-common.sh"
parse_options --binary "$@"

floor=""
if [ -z "$binary" ]; then
  binary="$root/build/native/src/shell/linux/tavo_3d"
  floor="$root/build/native/tests/tavo_floor_window"
  cmake --preset native >/dev/null
  cmake --build --preset native -j 2 --target tavo_3d tavo_floor_window >/dev/null
fi
[ -x "$binary" ] || { echo "no program at $binary" >&2; exit 1; }

# The other build: a worktree of REV, configured like the native preset but
# without tests, reused while it stays at REV.
other=""
if [ -n "$compare" ]; then
  tree="$(compare_tree)"
  cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVO_BUILD_TESTS=OFF >/dev/null
  nice -n 10 cmake --build "$tree/build" -j 2 --target tavo_3d >/dev/null
  other="$tree/build/src/shell/linux/tavo_3d"
fi

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_xvfb 300
unset WAYLAND_DISPLAY
export NO_AT_BRIDGE=1
xdotool mousemove 1275 1019

# run PROGRAM FPS FRAME_SPEED: prints "program_ms_per_frame xserver_ms_per_frame rss_kb"
run() {
  local program="$1" fps="$2" frame_speed="$3"
  export XDG_CONFIG_HOME="$work/config-$fps"
  mkdir -p "$XDG_CONFIG_HOME/tavo_3d"
  printf '[Mode]\nFrameSpeed=%d\nEscapeSpeed=1\nActionSpeed=0\n' "$frame_speed" \
    >"$XDG_CONFIG_HOME/tavo_3d/tavo_3d.ini"
  "$program" >/dev/null 2>&1 &
  app_pid=$!
  sleep 3
  local start_ticks x_start start_ns end_ticks x_end end_ns rss
  start_ticks="$(cpu_ticks "$app_pid")"
  x_start="$(cpu_ticks "$xvfb_pid")"
  start_ns="$(date +%s%N)"
  sleep "$seconds"
  end_ticks="$(cpu_ticks "$app_pid")"
  x_end="$(cpu_ticks "$xvfb_pid")"
  end_ns="$(date +%s%N)"
  rss="$(status_kb "$app_pid" VmRSS)"
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""
  awk -v fps="$fps" -v app="$((end_ticks - start_ticks))" -v x="$((x_end - x_start))" \
      -v hz="$clock_ticks" -v ns="$((end_ns - start_ns))" -v rss="$rss" 'BEGIN {
    frames = fps * ns / 1e9
    printf "%.3f %.3f %d\n", 1000 * app / hz / frames, 1000 * x / hz / frames, rss
  }'
}

line() {  # label fps app x rss
  awk -v label="$1" -v fps="$2" -v app="$3" -v x="$4" -v rss="$5" 'BEGIN {
    printf "%-10s %2d fps: program %5.2f ms/frame  X server %5.2f ms/frame  (%4.1f %% of a core)  resident %5.1f MB\n",
           label, fps, app, x, (app + x) * fps / 10, rss / 1024
  }'
}

echo "tavo_3d on $DISPLAY, ${seconds} s per measurement, ${rounds} round(s), load $(cut -d' ' -f1-3 /proc/loadavg)"
for rate in "10 0" "30 3"; do
  set -- $rate
  fps="$1" speed="$2"
  : >"$work/this-$fps"; : >"$work/other-$fps"
  for _ in $(seq "$rounds"); do
    [ -n "$other" ] && run "$other" "$fps" "$speed" >>"$work/other-$fps"
    run "$binary" "$fps" "$speed" >>"$work/this-$fps"
  done
  read -r app x rss < <(summarise "$work/this-$fps")
  line "this tree" "$fps" "$app" "$x" "$rss"
  if [ -n "$other" ]; then
    read -r oapp ox orss < <(summarise "$work/other-$fps")
    line "${compare:0:10}" "$fps" "$oapp" "$ox" "$orss"
    awk -v a="$app" -v x="$x" -v oa="$oapp" -v ox="$ox" -v r="$rss" -v orss="$orss" 'BEGIN {
      printf "%-10s %2s      program %5.2f x         X server %5.2f x          together %5.2f x         resident %5.2f x\n",
             "ratio", "", a / oa, x / ox, (a + x) / (oa + ox), r / orss
    }'
  fi
done

# Hidden behind a full-screen window (a plain window covering the screen, as
# with no window manager), at 30 fps: the program only looks a few times a
# second whether the window has gone.
convert -size 1280x1024 xc:navy "$work/cover.png"
export XDG_CONFIG_HOME="$work/config-hidden"
mkdir -p "$XDG_CONFIG_HOME/tavo_3d"
printf '[Mode]\nFrameSpeed=3\n' >"$XDG_CONFIG_HOME/tavo_3d/tavo_3d.ini"
"$binary" >/dev/null 2>&1 &
app_pid=$!
sleep 3
display -geometry +0+0 -borderwidth 0 "$work/cover.png" >/dev/null 2>&1 &
cover_pid=$!
sleep 3
start_ticks="$(cpu_ticks "$app_pid")"; x_start="$(cpu_ticks "$xvfb_pid")"; start_ns="$(date +%s%N)"
sleep "$seconds"
end_ticks="$(cpu_ticks "$app_pid")"; x_end="$(cpu_ticks "$xvfb_pid")"; end_ns="$(date +%s%N)"
kill -TERM "$cover_pid" "$app_pid"; wait "$app_pid" || true; app_pid=""
awk -v app="$((end_ticks - start_ticks))" -v x="$((x_end - x_start))" -v hz="$clock_ticks" \
    -v ns="$((end_ns - start_ns))" 'BEGIN {
  s = ns / 1e9
  printf "hidden behind a full-screen window (30 fps chosen): program %.2f %% of a core, X server %.2f %%\n",
         100 * app / hz / s, 100 * x / hz / s
}'

if [ -n "$floor" ] && [ -x "$floor" ]; then
  "$floor" >/dev/null 2>&1 &
  app_pid=$!
  sleep 3
  floor_rss="$(status_kb "$app_pid" VmRSS)"
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""
  awk -v rss="$floor_rss" -v gl="${TAVO_GL:-default}" 'BEGIN {
    printf "floor (GTK window and GL context, nothing drawn, back end %s): resident %5.1f MB\n", gl, rss / 1024
  }'
fi
