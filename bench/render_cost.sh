#!/usr/bin/env bash
# Instructions per tile of `tessel-pack render` (reading, drawing, PNG
# encoding, writing: everything callgrind counts, divided by the tiles
# drawn) on every real vector archive: Monaco and Andorra made into
# OpenMapTiles archives by Debian's tilemaker, the Mapbox Streets tiles of
# Uruguay and the raw OpenStreetMap tiles of Montevideo (the generic
# style), each at its deepest data level (the densest pictures) and one
# past it. The goal is at most 60 M a tile. A measurement, not a test.
# Usage: bench/render_cost.sh BUILD_DIR   (the styles of this source tree)
set -euo pipefail
build=$(readlink -f "$1")
cd "$(dirname "$0")/.."
fixtures=$(readlink -f ../shared/fixtures)
pack=$build/tools/tessel-pack
out=$(mktemp -d /tmp/tessel-render-cost-XXXXXX)
trap 'rm -rf "$out"' EXIT
examples=/usr/share/doc/tilemaker/examples
omt() { # NAME: the extract NAME.osm.pbf as an OpenMapTiles archive, made once into the build folder
  local made=$build/$1-omt.mbtiles
  [ -f "$made" ] || tilemaker --input "$fixtures/$1.osm.pbf" --output "$made.part.mbtiles" \
    --config $examples/config-openmaptiles.json --process $examples/process-openmaptiles.lua >/dev/null 2>&1
  [ -f "$made" ] || mv "$made.part.mbtiles" "$made"
  echo "$made"
}
# measure LABEL ARCHIVE LEVEL
measure() {
  local args=("$2" "$out/package-$1-$3" --zoom-min "$3" --zoom-max "$3")
  valgrind --tool=callgrind --callgrind-out-file="$out/render.out" "$pack" render "${args[@]}" \
    >"$out/render.log" 2>&1 || { cat "$out/render.log" >&2; exit 1; }
  local tiles total
  tiles=$(sed -n 's/.*(\([0-9]*\) tiles drawn).*/\1/p' "$out/render.log" | tail -1)
  total=$(grep -h '^totals:' "$out/render.out" | awk '{print $2}')
  awk -v l="$1" -v z="$3" -v t="$tiles" -v n="$total" \
    'BEGIN {printf "%-12s z%-2d %5d tiles %6.1f M instructions a tile\n", l, z, t, n / t / 1e6}'
}
measure monaco "$(omt monaco)" 14
measure monaco "$(omt monaco)" 15
measure andorra "$(omt andorra)" 14
measure uruguay "$fixtures/vector/uruguay.mbtiles" 9
measure uruguay "$fixtures/vector/uruguay.mbtiles" 10
measure montevideo "$fixtures/vector/montevideo.pmtiles" 12
measure montevideo "$fixtures/vector/montevideo.pmtiles" 13
