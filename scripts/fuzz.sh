#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang with ASan and UBSan) and
# runs each one over its corpus.
#
#   scripts/fuzz.sh --smoke               each target for 15 s (CI)
#   scripts/fuzz.sh --seconds N [names]   each target for N seconds
#   scripts/fuzz.sh --runs N [names]      each target for N executions
#   (--seconds and --runs together stop a target at whichever comes first)
#   scripts/fuzz.sh --merge [names]       adds to the committed corpus the
#                                         inputs of build/fuzz/corpus/<name>
#                                         (up to 4 KiB) that add coverage
#
# Names are target names without the fuzz_ prefix (mqo_reader, motion_reader,
# gltf_reader, png_decoder, jpeg_decoder, bmp_decoder, tga_decoder, character,
# inspect_report, settings_file); without names every
# built target runs, one after the other. The committed corpus
# (tests/fuzz/corpus/<name>, with the regression inputs) and the seeds
# (tests/fuzz/seeds, data/) are read; new inputs go to build/fuzz/corpus/<name>
# (a temporary folder for --smoke), and crashing inputs to
# build/fuzz/artifacts/<name>/. Fails when any target crashes, leaks, trips a
# sanitizer or times out on one input.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

mode=""
seconds=""
runs=""
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) mode=smoke; seconds=15 ;;
    --seconds) mode=${mode:-run}; seconds="${2:?--seconds needs a number}"; shift ;;
    --runs) mode=${mode:-run}; runs="${2:?--runs needs a number}"; shift ;;
    --merge) mode=merge ;;
    -h|--help) sed -n '2,20p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift
done
if [ -z "$mode" ]; then
  echo "usage: $0 --smoke | [--seconds N] [--runs N] | --merge [target...]" >&2
  exit 2
fi

build="$root/build/fuzz"
fuzz_src="$root/tests/fuzz"
jobs="${FUZZ_BUILD_JOBS:-2}"

printf '== Building the fuzz targets (%s)\n' "$build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzzers -j "$jobs"

if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/tests/fuzz/fuzz_*; do
    [ -x "$exe" ] && targets+=("$(basename "$exe" | sed 's/^fuzz_//')")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets built yet"
  exit 0
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# Files of the data folder and the seeds that suit a target.
seed_patterns() {
  case "$1" in
    mqo_reader) echo "data/*.mqo tests/fuzz/seeds/*.mqo" ;;
    gltf_reader) echo "tests/fuzz/seeds/*.gltf tests/fuzz/seeds/*.glb characters/*/*.vrm data/*.vrma" ;;
    motion_reader) echo "data/*.mkm tests/fuzz/seeds/*.mkm" ;;
    png_decoder) echo "data/*.png" ;;
    jpeg_decoder) echo "tests/fuzz/seeds/*.jpg" ;;
    bmp_decoder) echo "tests/fuzz/seeds/*.bmp" ;;
    tga_decoder) echo "tests/fuzz/seeds/*.tga" ;;
    *) echo "" ;;
  esac
}

# The character and inspector targets read a model and a motion set from one
# input, split at the first separator line; their seeds pair each model with
# each motion set.
separator=$'\n@@MKM@@\n'
make_character_seeds() {
  local out="$1" model motion n=0
  for model in data/*.mqo characters/*/*.mqo tests/fuzz/seeds/*.mqo; do
    for motion in data/*.mkm characters/*/*.mkm tests/fuzz/seeds/*.mkm; do
      [ -f "$model" ] && [ -f "$motion" ] || continue
      n=$((n + 1))
      { cat "$model"; printf '%s' "$separator"; cat "$motion"; } > "$out/pair$n"
    done
  done
}

# Longest input that mutations make: small documents run fast, and the
# readers meet a truncated copy of each large seed, which they must survive.
max_length() {
  case "$1" in
    mqo_reader|character|inspect_report) echo 32768 ;;
    motion_reader) echo 16384 ;;
    jpeg_decoder|bmp_decoder|tga_decoder) echo 16384 ;;
    *) echo 131072 ;;
  esac
}

dictionary() {
  case "$1" in
    mqo_reader) echo "$fuzz_src/mqo.dict" ;;
    motion_reader) echo "$fuzz_src/mkm.dict" ;;
    png_decoder) echo "$fuzz_src/png.dict" ;;
    jpeg_decoder) echo "$fuzz_src/jpeg.dict" ;;
    settings_file) echo "$fuzz_src/settings.dict" ;;
    character|inspect_report)
      if [ ! -f "$scratch/character.dict" ]; then
        cat "$fuzz_src/mqo.dict" "$fuzz_src/mkm.dict" > "$scratch/character.dict"
        printf '"\\x0a@@MKM@@\\x0a"\n' >> "$scratch/character.dict"
      fi
      echo "$scratch/character.dict" ;;
  esac
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:symbolize=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
if [ -f "$fuzz_src/lsan.supp" ]; then
  export LSAN_OPTIONS="suppressions=$fuzz_src/lsan.supp:print_suppressions=0"
fi
export LP_NUM_THREADS=0   # llvmpipe renders on the calling thread

failed=()
summary=()
for name in "${targets[@]}"; do
  exe="$build/tests/fuzz/fuzz_$name"
  if [ ! -x "$exe" ]; then
    echo "no such fuzz target: $name" >&2
    failed+=("$name (not built)")
    continue
  fi
  if [ "$mode" = merge ]; then
    small="$scratch/small-$name"
    mkdir -p "$small" "$fuzz_src/corpus/$name"
    if [ -d "$build/corpus/$name" ]; then
      find "$build/corpus/$name" -type f -size -4097c -exec cp {} "$small/" \;
    fi
    before="$(find "$fuzz_src/corpus/$name" -type f | wc -l)"
    printf '\n== merging into tests/fuzz/corpus/%s\n' "$name"
    "$exe" -merge=1 -max_len=4096 "$fuzz_src/corpus/$name" "$small" \
      > "$build/merge-$name.log" 2>&1 || { failed+=("$name (merge)"); continue; }
    after="$(find "$fuzz_src/corpus/$name" -type f | wc -l)"
    summary+=("fuzz_$name: $((after - before)) inputs added, $after in the committed corpus")
    continue
  fi
  seeds="$scratch/seeds-$name"
  mkdir -p "$seeds"
  if [ "$name" = character ] || [ "$name" = inspect_report ]; then
    make_character_seeds "$seeds"
  else
    for pattern in $(seed_patterns "$name"); do
      for file in $pattern; do [ -f "$file" ] && cp "$file" "$seeds/"; done
    done
  fi
  if [ "$mode" = smoke ]; then
    work="$scratch/work-$name"
  else
    work="$build/corpus/$name"
  fi
  artifacts="$build/artifacts/$name"
  mkdir -p "$work" "$artifacts" "$fuzz_src/corpus/$name"

  args=(-artifact_prefix="$artifacts/" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
        -max_len="$(max_length "$name")")
  dict="$(dictionary "$name")"
  [ -n "$dict" ] && args+=(-dict="$dict")
  [ -n "$runs" ] && args+=(-runs="$runs")
  [ -n "$seconds" ] && args+=(-max_total_time="$seconds")
  log="$build/fuzz-$name.log"
  limits="${seconds:+$seconds s}${seconds:+${runs:+, }}${runs:+$runs runs}"
  printf '\n== fuzz_%s (%s)\n' "$name" "$limits"
  status=0
  "$exe" "${args[@]}" "$work" "$fuzz_src/corpus/$name" "$seeds" > "$log" 2>&1 || status=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  corpus="$(grep -o 'corp: [0-9]*/[0-9a-zA-Z]*' "$log" | tail -n 1 | sed 's/corp: //' || true)"
  if [ "$status" -ne 0 ]; then
    echo "FAILED (exit $status); log: $log"
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written|#[0-9]+ in ' "$log" | head -n 40 || true
    failed+=("$name")
    summary+=("fuzz_$name: FAILED after ${execs:-?} executions")
  else
    echo "ok: ${execs:-?} executions, corpus ${corpus:-?}"
    summary+=("fuzz_$name: ${execs:-?} executions, corpus ${corpus:-?}")
  fi
done

printf '\n== Summary\n'
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "failing targets: ${failed[*]}"
  exit 1
fi
