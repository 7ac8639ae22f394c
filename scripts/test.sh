#!/usr/bin/env bash
# Runs every test: the unit tests natively and under ASan/UBSan, the Windows
# build, the desktop end-to-end tests, the two packages (the .deb installed
# and removed) and a short fuzzing pass.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="$(nproc)"

step() { printf '\n== %s\n' "$*"; }

# ctest's own summaries are collected for one closing line.
results="$(mktemp)"
trap 'rm -f "$results"' EXIT
run_ctest() { ctest "$@" 2>&1 | tee -a "$results"; }

step "Windows build (MinGW-w64)"
./scripts/build-mingw-libpng.sh
./scripts/build-mingw-libjpeg.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

step "Native build"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

step "Unit and end-to-end tests"
run_ctest --preset native -j "$jobs"

step "Unit tests again with the EGL back end (llvmpipe here)"
TAVO_GL=egl run_ctest --preset native -j "$jobs" -L unit

step "Packages: build, check, install and remove the .deb; check the zip"
./scripts/package.sh
./scripts/check-packages.sh

step "Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
run_ctest --preset asan -j "$jobs" -L unit

if [ -x scripts/fuzz.sh ]; then
  step "Fuzz targets over their corpora"
  ./scripts/fuzz.sh --smoke
fi

total=0
failed=0
while read -r fails all; do
  total=$((total + all))
  failed=$((failed + fails))
done < <(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$results")
printf '\ntests: %d passed, %d failed\n' "$((total - failed))" "$failed"
