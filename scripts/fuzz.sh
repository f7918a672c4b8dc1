#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS (default 60),
# starting from its seed files in tests/data and what earlier runs found
# (build-fuzz/corpus). A crash stops the script; its input is kept in
# build-fuzz/crashes. Usage: [FUZZ_SEED=N] [FUZZ_FRESH=S] scripts/fuzz.sh [SECONDS]
# FUZZ_SEED fixes libFuzzer's random seed so that a run (CI's) can be
# repeated exactly; without it every run explores differently. FUZZ_FRESH
# adds S more seconds per target from a seed of the moment, so that a
# fixed-seed run does not walk the same few paths forever; what it finds
# fails the run like any finding, with its seed printed to repeat it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$root/build-fuzz
"$root/scripts/setup.sh"
targets=(conf_fuzz:conf gpx_fuzz:gpx part_fuzz:part package_fuzz:package mbtiles_fuzz:mbtiles pmtiles_fuzz:pmtiles
  tile_fuzz:tile gpsd_fuzz:gpsd http_fuzz:http mvt_fuzz:mvt style_fuzz:style osm_fuzz:osm
  search_index_fuzz:search_index search_query_fuzz:search_query coordinates_fuzz:coordinates
  routes_fuzz:routes hgt_fuzz:hgt elevation_fuzz:elevation
  waypoints_fuzz:waypoints)
# ccache keeps the clang objects across runs, so the stage's time goes to fuzzing.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTESSEL_FUZZ=ON -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]%%:*}"
mkdir -p "$build/crashes"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside the system libraries the targets load (fontconfig under cairo).
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export SDL_VIDEODRIVER=dummy
# run TARGET SEED SECONDS CORPUS SEEDS: one libFuzzer run; a finding stops
# the script with its input named.
run() {
  local target=$1 seed=$2 time=$3 log=$build/$1.log
  # A memory limit catches a reader that allocates by an unchecked field.
  "$build/tests/$target" -seed="$seed" -max_total_time="$time" -rss_limit_mb=1024 -malloc_limit_mb=512 -max_len=262144 \
    -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 "$4" "$5" 2>"$log" ||
    { tail -n 40 "$log" >&2
      echo "fuzz: $target failed from -seed=$seed; its input: $(grep -oE "$build/crashes/[^ ]+" "$log" | tail -n 1)" >&2
      echo "fuzz: keep it as a seed in tests/data/ once the reader is mended" >&2
      exit 1; }
  echo "fuzz: $target: $(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}') runs in $time s from -seed=$seed, no finding"
}
for entry in "${targets[@]}"; do
  target=${entry%%:*} seeds=$root/tests/data/${entry#*:}
  corpus=$build/corpus/${entry#*:}
  mkdir -p "$corpus"
  run "$target" "${FUZZ_SEED:-0}" "$seconds" "$corpus" "$seeds"
  if [ "${FUZZ_FRESH:-0}" -gt 0 ]; then
    run "$target" "$((RANDOM * 32768 + RANDOM + 1))" "$FUZZ_FRESH" "$corpus" "$seeds"
  fi
done
