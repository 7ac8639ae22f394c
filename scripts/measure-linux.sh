#!/usr/bin/env bash
# Measures the Linux tavo_3d's CPU use and memory at 10 fps and at 30 fps on
# a private Xvfb display (no window manager, no compositor), with the cursor
# away from the figure.
#
#   scripts/measure-linux.sh [--seconds N] [--binary PATH]
#
# CPU use is the share of one core (user + system time from /proc/PID/stat
# over N seconds, default 20, after a few seconds of start-up); memory is the
# resident set (VmRSS) at the end, with its peak (VmHWM) and the part that
# is the program's own (anonymous) memory. Targets: at most 1 % of a core at
# 10 fps, 3 % at 30 fps, and 40 MB resident.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

seconds=20
binary=""
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --binary) binary="$2"; shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--binary PATH]" >&2; exit 2 ;;
  esac
done

if [ -z "$binary" ]; then
  binary="$root/build/native/src/shell/linux/tavo_3d"
  cmake --preset native >/dev/null
  cmake --build --preset native -j 2 --target tavo_3d >/dev/null
fi
[ -x "$binary" ] || { echo "no program at $binary" >&2; exit 1; }

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display_number=300
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
  display_number=$((display_number + 1))
done
export DISPLAY=":$display_number"
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display_number" ] && break; sleep 0.05; done
unset WAYLAND_DISPLAY
export NO_AT_BRIDGE=1
xdotool mousemove 1275 1019

clock_ticks="$(getconf CLK_TCK)"
# user + system time in clock ticks (fields 14 and 15 after the command name)
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
status_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }

measure() {
  local fps="$1" frame_speed="$2"
  export XDG_CONFIG_HOME="$work/config-$fps"
  mkdir -p "$XDG_CONFIG_HOME/tavo_3d"
  printf '[Mode]\nFrameSpeed=%d\nEscapeSpeed=1\nActionSpeed=0\n' "$frame_speed" \
    >"$XDG_CONFIG_HOME/tavo_3d/tavo_3d.ini"
  "$binary" >/dev/null 2>&1 &
  app_pid=$!
  sleep 3
  local start_ticks start_ns end_ticks end_ns
  start_ticks="$(cpu_ticks "$app_pid")"
  start_ns="$(date +%s%N)"
  sleep "$seconds"
  end_ticks="$(cpu_ticks "$app_pid")"
  end_ns="$(date +%s%N)"
  local rss hwm anon
  rss="$(status_kb "$app_pid" VmRSS)"
  hwm="$(status_kb "$app_pid" VmHWM)"
  anon="$(status_kb "$app_pid" RssAnon)"
  kill -TERM "$app_pid"
  wait "$app_pid" || true
  app_pid=""
  awk -v fps="$fps" -v ticks="$((end_ticks - start_ticks))" -v hz="$clock_ticks" \
      -v ns="$((end_ns - start_ns))" -v rss="$rss" -v hwm="$hwm" -v anon="$anon" 'BEGIN {
    cpu = 100 * (ticks / hz) / (ns / 1e9)
    printf "%2d fps: CPU %5.2f %% of one core   resident %5.1f MB (peak %5.1f MB, own %5.1f MB)\n",
           fps, cpu, rss / 1024, hwm / 1024, anon / 1024
  }'
}

echo "tavo_3d on $DISPLAY, ${seconds} s per rate"
measure 10 0
measure 30 3
