#!/usr/bin/env bash
# Instructions to decode the same real tiles through the viewer's decoder and
# through IMG_Load_RW + SDL_DisplayFormat, counted by callgrind in one run:
# per format (PNG of the shared plain_1.mbtiles, JPEG of the Earth demo, the
# PNGs again as WebP), both totals and ours/SDL's. A measurement, not a test.
# Usage: bench/decode_cost.sh BENCH_BINARY
set -euo pipefail
binary=$(readlink -f "$1")
out=$(mktemp -d /tmp/tessel-decode-XXXXXX)
trap 'rm -rf "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out/profile" \
  "$binary" --benchmark_filter=BM_TileDecodeSideBySide >"$out/bench" 2>"$out/log" || { cat "$out/log" >&2; exit 1; }
callgrind_annotate --inclusive=yes --threshold=100 "$out/profile" >"$out/annotated"
cost() { grep -m1 -F "$1" "$out/annotated" | awk '{gsub(",", "", $1); print $1}' || true; }
names=(PNG JPEG WebP)
for kind in 0 1 2; do
  ours=$(cost "decodeOurs<$kind>")
  sdl=$(cost "decodeWithSdl<$kind>")
  if [ -z "$ours" ] || [ -z "$sdl" ]; then echo "${names[$kind]}: no tiles"; continue; fi
  awk -v n="${names[$kind]}" -v o="$ours" -v s="$sdl" \
    'BEGIN {printf "%s: ours %.0f, SDL_image + SDL_DisplayFormat %.0f instructions, ours/SDL %.3f\n", n, o, s, o / s}'
done
