#!/usr/bin/env bash
# Instructions per frame of the viewer's loop, counted by callgrind: every
# call of measuredFrame() in the benchmarks matching FILTER (default: the
# pan swings with the shipped settings). Prints, per benchmark, the frames
# counted, their median, mean and worst. A measurement, not a test.
# Usage: bench/frame_cost.sh BENCH_BINARY [FILTER]
set -euo pipefail
binary=$(readlink -f "$1")
filter=${2:-BM_PanFrames}
out=$(mktemp -d /tmp/tessel-frames-XXXXXX)
trap 'rm -rf "$out"' EXIT
for name in $("$binary" --benchmark_list_tests=true --benchmark_filter="$filter"); do
  rm -f "$out"/callgrind.*
  valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.%p" --toggle-collect='*measuredFrame*' \
    --dump-before='Program::pass*' "$binary" --benchmark_filter="^$name\$" >/dev/null 2>"$out/log" ||
    { cat "$out/log" >&2; exit 1; }
  # A dump before every pass; those of passes outside measuredFrame() count nothing.
  grep -h '^totals:' "$out"/callgrind.* 2>/dev/null | awk '$2 > 0 {print $2}' | sort -n |
    awk -v name="$name" '{v[NR] = $1; s += $1}
      END {if (NR == 0) {print name ": no frames"; exit}
           printf "%s: %d frames, median %d, mean %d, worst %d instructions (worst/median %.2f)\n",
                  name, NR, v[int((NR + 1) / 2)], s / NR, v[NR], v[NR] / v[int((NR + 1) / 2)]}'
done
