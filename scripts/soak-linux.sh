#!/usr/bin/env bash
# Soak run of the Linux program: tavo_3d under its own Xvfb for a given time
# while the cursor is moved over the window and menu choices are made with
# xdotool. Resident memory (VmRSS) is sampled every minute.
#
#   scripts/soak-linux.sh [--minutes N] [--binary PATH] [--action-seconds S]
#
# Defaults: 60 minutes, build/native/src/shell/linux/tavo_3d (built with the
# native preset when it is missing), an action every 15 seconds. The run
# ends with the menu's exit item (SIGTERM when the figure cannot be hit),
# which must end the program with status 0 and write its settings file. It
# fails when the program crashes or exits early, when it does not end
# cleanly, or when memory keeps growing: the last
# sample more than 10 % above the sample at minute 2, or every sample from
# minute 2 on above the one before (with at least four such samples).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

minutes=60
binary="$root/build/native/src/shell/linux/tavo_3d"
action_seconds=15
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes="${2:?--minutes needs a number}"; shift ;;
    --binary) binary="${2:?--binary needs a path}"; shift ;;
    --action-seconds) action_seconds="${2:?--action-seconds needs a number}"; shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

if [ ! -x "$binary" ]; then
  echo "== Building tavo_3d with the native preset"
  cmake --preset native >/dev/null
  cmake --build --preset native --target tavo_3d -j 2
fi

work="$(mktemp -d)"
xvfb_pid=""
program_pid=""
cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# An X server of our own on the first free display; -br gives a black root,
# so that any other colour inside the window is the figure.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset -br \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
settings="$XDG_CONFIG_HOME/tavo_3d/tavo_3d.ini"

"$binary" >"$work/program.log" 2>&1 &
program_pid=$!
start_time=$(date +%s)

fail() {
  echo "SOAK FAILED: $*"
  echo "-- program output (last lines):"
  tail -n 30 "$work/program.log" || true
  exit 1
}

alive() { kill -0 "$program_pid" 2>/dev/null; }

# Left, top of the program's window (exact title "Tavo_3D"), or nothing.
window_origin() {
  xwininfo -name Tavo_3D 2>/dev/null |
    awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{if (x != "") print x, y}'
}

visible_windows() { xdotool search --onlyvisible --classname tavo_3d 2>/dev/null | wc -l; }

# A point of the figure, relative to the window: a pixel on the screen, away
# from the figure's edge, that is not the black root showing through. Falls
# back to the centre of the window.
figure_point() {
  import -window root rgb:- 2>/dev/null | python3 -c '
import sys
left, top = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
sw, sh = 1280, 1024
if len(data) < sw * sh * 3:
    print(200, 180); sys.exit()
def lit(x, y):
    if not (0 <= x < sw and 0 <= y < sh):
        return 0
    i = (y * sw + x) * 3
    return data[i] | data[i + 1] | data[i + 2]
points = [(px, py) for py in range(4, 356, 4) for px in range(4, 396, 4)
          if all(lit(left + px + dx, top + py + dy) for dx in (-4, 0, 4) for dy in (-4, 0, 4))]
if not points:
    print(200, 180)
else:
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    print(*min(points, key=lambda p: (p[0] - cx) ** 2 + (p[1] - cy) ** 2))
' "$1" "$2"
}

# Puts the cursor in a screen corner away from the window, so that the
# figure stops running from it.
park_cursor() {
  local origin
  origin="$(window_origin)"
  [ -n "$origin" ] || return 0
  set -- $origin
  xdotool mousemove $(($1 < 440 ? 1275 : 4)) $(($2 < 330 ? 1019 : 4))
}

# Opens the popup menu with a click on the figure; true when it opened.
open_menu() {
  local attempt origin point before
  for attempt in $(seq 10); do
    park_cursor
    sleep 1
    origin="$(window_origin)"
    [ -n "$origin" ] || continue
    set -- $origin
    point="$(figure_point "$1" "$2")"
    before="$(visible_windows)"
    set -- "$1" "$2" $point
    xdotool mousemove $(($1 + $3)) $(($2 + $4)) click 1
    sleep 0.7
    if [ "$(visible_windows)" -gt "$before" ]; then
      return 0
    fi
  done
  return 1
}

# Menu layout: 0 frame rate (4 items), 1 escape speed (its first item is
# greyed and skipped by the keyboard: 3 items), 2 swing speed (3 items).
menu_choices=("0 0" "2 1" "1 1" "0 3" "2 2" "1 0" "0 1" "2 0" "1 2" "0 2")
choose() {
  local submenu="$1" item="$2" keys=() i
  for ((i = 0; i <= submenu; i++)); do keys+=(Down); done
  keys+=(Right)
  for ((i = 0; i < item; i++)); do keys+=(Down); done
  keys+=(Return)
  xdotool key --delay 80 "${keys[@]}"
  sleep 0.5
  # A menu still open would stop the frames: close it.
  if [ "$(visible_windows)" -gt 1 ]; then
    xdotool key Escape Escape Escape
    menus_left_open=$((menus_left_open + 1))
  fi
}

# The cursor crosses the window in a few steps, which sets the figure running.
hover() {
  local origin step
  origin="$(window_origin)"
  [ -n "$origin" ] || return 0
  set -- $origin
  for step in 0 1 2 3 4 5; do
    xdotool mousemove $(($1 + 60 + step * 55)) $(($2 + 60 + step * 45))
    sleep 0.3
  done
  park_cursor
}

rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$program_pid/status" 2>/dev/null || echo 0; }

for _ in $(seq 100); do
  [ -n "$(window_origin)" ] && break
  alive || fail "the program ended during start-up"
  sleep 0.1
done
[ -n "$(window_origin)" ] || fail "no window titled Tavo_3D appeared"

echo "== Soak: $binary for $minutes min on $DISPLAY (settings in $XDG_CONFIG_HOME)"
samples=()
menus_opened=0
menus_missed=0
menus_left_open=0
action=0
next_action=$((start_time + action_seconds))
for minute in $(seq 1 "$minutes"); do
  sample_time=$((start_time + minute * 60))
  while [ "$(date +%s)" -lt "$sample_time" ]; do
    alive || fail "the program ended at minute $((minute - 1))"
    if [ "$(date +%s)" -ge "$next_action" ]; then
      if [ $((action % 2)) -eq 0 ]; then
        hover
      elif open_menu; then
        menus_opened=$((menus_opened + 1))
        choose ${menu_choices[$(((action / 2) % ${#menu_choices[@]}))]}
      else
        menus_missed=$((menus_missed + 1))
      fi
      action=$((action + 1))
      next_action=$(($(date +%s) + action_seconds))
    fi
    sleep 1
  done
  alive || fail "the program ended at minute $minute"
  samples+=("$(rss_kb)")
  printf 'minute %3d: VmRSS %s kB\n' "$minute" "${samples[-1]}"
done

echo "menus opened: $menus_opened, clicks that opened no menu: $menus_missed," \
  "menus that stayed open after a choice: $menus_left_open"

# End through the menu's last item, as a user would; when the figure cannot
# be hit (it may be turned edge-on for a while), through SIGTERM.
if open_menu; then
  xdotool key --delay 80 Up Return
  ended_by="the exit item"
else
  echo "warning: the menu did not open for the exit item; ending with SIGTERM"
  kill -TERM "$program_pid"
  ended_by="SIGTERM"
fi
for _ in $(seq 100); do
  alive || break
  sleep 0.1
done
alive && fail "$ended_by did not end the program"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "the program exited with status $status after $ended_by"
[ -f "$settings" ] || fail "no settings file was written at exit"
echo "ended by $ended_by; settings written at exit:"
sed 's/^/  /' "$settings"

# Memory verdict over the samples from minute 2 on.
python3 - "${samples[@]}" <<'EOF' || exit 1
import sys
samples = [int(s) for s in sys.argv[1:]]
if len(samples) < 2:
    print("too short for a memory verdict (fewer than 2 samples)")
    sys.exit(0)
base = samples[1]
tail = samples[1:]
last = samples[-1]
growth = (last - base) * 100.0 / base if base else 0.0
print(f"VmRSS at minute 2: {base} kB, at the end: {last} kB ({growth:+.1f} %)")
if base and last > base * 1.10:
    print("SOAK FAILED: memory grew by more than 10 % after minute 2")
    sys.exit(1)
if len(tail) >= 4 and all(b > a for a, b in zip(tail, tail[1:])):
    print("SOAK FAILED: memory grew at every sample after minute 2")
    sys.exit(1)
print("soak passed")
EOF
