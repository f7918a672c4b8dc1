#!/usr/bin/env bash
# Instructions to present one full frame at --scale 2 on a 24-bit X server,
# counted by callgrind in one run: the window opened at 16 bits (SDL converts
# its shadow surface on every update) against the window at the display's
# depth (the scaler converts). A measurement, not a test.
# Usage: bench/present_cost.sh BENCH_BINARY
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(readlink -f "$1")
out=$(mktemp -d /tmp/tessel-present-XXXXXX)
trap 'rm -rf "$out"' EXIT
frames=40
export binary out
bash "$root/scripts/with_xvfb.sh" bash -c 'valgrind --tool=callgrind --callgrind-out-file="$out/profile" \
  "$binary" --benchmark_filter=BM_PresentFrame >"$out/bench" 2>"$out/log"' || { cat "$out/log" >&2; exit 1; }
callgrind_annotate --inclusive=yes --threshold=100 "$out/profile" >"$out/annotated"
cost() { grep -m1 -F "$1" "$out/annotated" | awk '{gsub(",", "", $1); print $1}'; }
old=$(cost presentThroughShadow)
new=$(cost presentAtDisplayDepth)
[ -n "$old" ] && [ -n "$new" ] || { echo "no profile of the two paths" >&2; cat "$out/bench" >&2; exit 1; }
echo "16-bit window through SDL's shadow: $(( old / frames )) instructions a frame"
echo "window at the display's depth:      $(( new / frames )) instructions a frame"
awk -v o="$old" -v n="$new" 'BEGIN {printf "new/old: %.3f\n", n / o}'
