#!/usr/bin/env bash
# Instructions per call of the terrain benchmarks, counted by callgrind:
# every call of their measured*() function (a 256 px cell of alpine ground
# shaded, its contours traced and drawn, an elevation tile decoded, a
# 100 000-point track's figures and profile, 100 000 elevations filled from
# an archive), divided by the calls each benchmark makes. Then the same
# benchmarks' wall-clock times without valgrind. A measurement, not a test.
# Usage: bench/terrain_cost.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
binary=$build/bench/tessel_bench
out=$(mktemp -d /tmp/tessel-terrain-cost-XXXXXX)
trap 'rm -rf "$out"' EXIT
calls=20 # as the benchmarks' Iterations()
for name in $("$binary" --benchmark_list_tests=true --benchmark_filter='BM_Terrain'); do
  name=${name%/iterations:*}
  rm -f "$out"/callgrind.*
  valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.out" --toggle-collect='*measured*' \
    "$binary" --benchmark_filter="^$name/iterations" >/dev/null 2>"$out/log" || { cat "$out/log" >&2; exit 1; }
  total=$(grep -h '^totals:' "$out/callgrind.out" | awk '{print $2}')
  awk -v name="$name" -v t="$total" -v c="$calls" 'BEGIN {printf "%s: %.2f M instructions a call\n", name, t / c / 1e6}'
done
"$binary" --benchmark_filter='BM_Terrain' 2>/dev/null | grep '^BM_'
