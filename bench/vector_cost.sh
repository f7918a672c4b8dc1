#!/usr/bin/env bash
# Instructions per vector tile, counted by callgrind: every call of
# measuredTile() in the BM_VectorTile benchmarks (the densest real tiles
# decoded and drawn, png:1 also PNG-encoded), then a whole `tessel-pack
# render` of the Monaco archive to level 15 (its data's and one past),
# divided by the tiles it drew (everything counted: reading, drawing,
# encoding, writing). The first call of each benchmark (fonts loading) is
# left out; an overzoomed cell of montevideo.pmtiles is counted made both
# ways (BM_VectorOverzoomCell). Then the tile benchmarks without valgrind:
# each call's wall-clock median and worst (median_ms, worst_ms; the worst holds the
# first call's font loading and whatever else the machine ran).
# A measurement, not a test.
# Usage: bench/vector_cost.sh BUILD_DIR
set -euo pipefail
shopt -s extglob
build=$(readlink -f "$1")
binary=$build/bench/tessel_bench
out=$(mktemp -d /tmp/tessel-vector-cost-XXXXXX)
trap 'rm -rf "$out"' EXIT
# count NAME FUNCTION: callgrind over the benchmark, one count per call of
# FUNCTION (a dump as each call begins holds the call before; the first,
# fonts loading or the data tile's first decoding, is dropped).
count() {
  local name=$1 function=$2
  rm -f "$out"/callgrind.*
  valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.%p" --toggle-collect="*$function*" \
    --dump-before="(anonymous namespace)::$function*" "$binary" --benchmark_filter="^$name\$" --benchmark_min_time=2 \
    >/dev/null 2>"$out/log" || { cat "$out/log" >&2; exit 1; }
  for f in $(ls "$out"/callgrind.*.* | sort -t. -k3 -n) "$out"/callgrind.+([0-9]); do grep -h '^totals:' "$f"; done |
    awk '$2 > 1000 {print $2}' | tail -n +2 | sort -n |
    awk -v name="$name" '{v[NR] = $1; s += $1}
      END {if (NR == 0) {print name ": no calls"; exit}
           printf "%s: %d calls, median %d, worst %d instructions\n", name, NR, v[int((NR + 1) / 2)], v[NR]}'
}
for name in $("$binary" --benchmark_list_tests=true --benchmark_filter='BM_VectorTile'); do
  count "$name" measuredTile
done
# An overzoomed cell: its bytes read first (cache:0), the painter asked first (cache:1).
for name in $("$binary" --benchmark_list_tests=true --benchmark_filter='BM_VectorOverzoomCell'); do
  count "$name" measuredCell
done
"$binary" --benchmark_filter='BM_VectorTile' --benchmark_min_time=2 2>/dev/null | grep '^BM_'
monaco=$build/monaco-omt.mbtiles
if [ -f "$monaco" ]; then
  valgrind --tool=callgrind --callgrind-out-file="$out/render.out" "$build/tools/tessel-pack" render "$monaco" \
    "$out/package" --zoom-max 15 >"$out/render.log" 2>&1 || { cat "$out/render.log" >&2; exit 1; }
  tiles=$(sed -n 's/.*(\([0-9]*\) tiles drawn).*/\1/p' "$out/render.log")
  total=$(grep -h '^totals:' "$out/render.out" | awk '{print $2}')
  awk -v t="$tiles" -v n="$total" 'BEGIN {printf "tessel-pack render monaco to z15: %d tiles, %d instructions a tile\n", t, n / t}'
fi
