# shellcheck shell=bash disable=SC2034,SC2154  # root comes from the callers, the variables set here are theirs
# Sourced by measure-linux.sh and measure-wine.sh: their options, the older
# build's worktree, a private Xvfb display, readings from /proc and medians.
# The caller sets `root` and the default `seconds` first.

# parse_options BINARY_OPTION ARGS...: sets seconds, rounds, binary and compare.
parse_options() {
  local binary_option="$1"
  shift
  rounds=""
  binary=""
  compare=""
  local usage="usage: $0 [--seconds N] [--rounds N] [$binary_option PATH] [--compare REV]"
  while [ $# -gt 0 ]; do
    case "$1" in
      --seconds) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; seconds="$2"; shift 2 ;;
      --rounds) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; rounds="$2"; shift 2 ;;
      --compare) [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; compare="$2"; shift 2 ;;
      "$binary_option") [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }; binary="$2"; shift 2 ;;
      *) echo "$usage" >&2; exit 2 ;;
    esac
  done
  [ -n "$rounds" ] || { [ -n "$compare" ] && rounds=3 || rounds=1; }
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}"
  export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}"
}

# compare_tree: a worktree of $compare (build/compare/COMMIT), made once and
# reused while it stays at that commit; prints its path.
compare_tree() {
  local commit tree
  commit="$(git -C "$root" rev-parse --verify "$compare^{commit}")"
  tree="$root/build/compare/${commit:0:12}"
  [ -d "$tree" ] || git -C "$root" worktree add --detach "$tree" "$commit" >/dev/null
  echo "$tree"
}

# start_xvfb FIRST_NUMBER: a private 1280 x 1024 display at the first free
# number from FIRST_NUMBER on; sets DISPLAY and xvfb_pid.
start_xvfb() {
  local number="$1"
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
    number=$((number + 1))
  done
  export DISPLAY=":$number"
  Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.05; done
}

clock_ticks="$(getconf CLK_TCK)"
# user + system time in clock ticks (fields 14 and 15 after the command name)
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
status_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
# summarise FILE: the median of every column of the rounds in FILE.
summarise() {
  local file="$1" columns column medians=""
  columns="$(head -n 1 "$file" | wc -w)"
  for column in $(seq "$columns"); do
    medians="$medians $(cut -d' ' -f"$column" "$file" | median)"
  done
  echo "${medians# }"
}
