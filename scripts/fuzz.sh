#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for SECONDS (default 60),
# starting from its seed files in tests/data and what earlier runs found
# (build-fuzz/corpus). A crash stops the script; its input is kept in
# build-fuzz/crashes. Usage: [FUZZ_SEED=N] scripts/fuzz.sh [SECONDS]
# FUZZ_SEED fixes libFuzzer's random seed so that a run (CI's) can be
# repeated exactly; without it every run explores differently.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$root/build-fuzz
"$root/scripts/setup.sh"
targets=(conf_fuzz:conf gpx_fuzz:gpx part_fuzz:part package_fuzz:package mbtiles_fuzz:mbtiles pmtiles_fuzz:pmtiles
  tile_fuzz:tile gpsd_fuzz:gpsd http_fuzz:http mvt_fuzz:mvt style_fuzz:style osm_fuzz:osm
  search_index_fuzz:search_index search_query_fuzz:search_query coordinates_fuzz:coordinates
  waypoints_fuzz:waypoints)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DTESSEL_FUZZ=ON -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]%%:*}"
mkdir -p "$build/crashes"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside the system libraries the targets load (fontconfig under cairo).
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export SDL_VIDEODRIVER=dummy
for entry in "${targets[@]}"; do
  target=${entry%%:*} seeds=$root/tests/data/${entry#*:}
  corpus=$build/corpus/${entry#*:}
  mkdir -p "$corpus"
  # A memory limit catches a reader that allocates by an unchecked field.
  "$build/tests/$target" -seed="${FUZZ_SEED:-0}" -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=512 -max_len=262144 \
    -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 "$corpus" "$seeds" 2>"$build/$target.log" ||
    { tail -n 40 "$build/$target.log" >&2; echo "fuzz: $target failed" >&2; exit 1; }
  echo "fuzz: $target: $(grep -E '^stat::number_of_executed_units' "$build/$target.log" | awk '{print $2}') runs in ${seconds} s, no finding"
done
