#!/usr/bin/env bash
# Prints what an avatar the size of a VRoid Studio export costs beside the
# embedded character, in one run: load time, resident memory and CPU time a
# frame with the software GL (tests/measure/avatar_cost.cpp generates it).
#
#   scripts/measure-avatar.sh [--rounds N]   (default 3 rounds, each printed)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
rounds=3
if [ "${1:-}" = "--rounds" ]; then rounds="${2:?--rounds needs a number}"; fi
cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target tavo_avatar_cost >/dev/null
for round in $(seq 1 "$rounds"); do
  echo "== round $round"
  "$root/build/native/tests/tavo_avatar_cost"
done
