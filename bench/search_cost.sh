#!/usr/bin/env bash
# The search's cost per keystroke over a synthetic index of NAMES names
# (default 3 000 000) made of the Andorra extract's name parts, plus
# Andorra's own entries: milliseconds per keystroke (median, 95th
# percentile, worst), blocks read, peak resident size and bytes per name,
# natively; the mean instructions of one search under callgrind; and the
# same keystrokes under qemu-arm when an armhf build folder is given (a
# stand-in for a 1 GHz board: scripts/cross.sh armhf makes one).
# Usage: bench/search_cost.sh BUILD [NAMES] [ARMHF_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
names=${2:-3000000}
armhf=${3:-}
keys=$build/bench/search/tessel_search_keys
index=$build/search-$names.search
pbf=$root/../shared/fixtures/andorra.osm.pbf
[ -f "$pbf" ] || { echo "search_cost: needs $pbf" >&2; exit 1; }
# Made once per size (minutes for millions of names), then reused.
[ -f "$index" ] || "$keys" make "$names" "$index" "$pbf"
echo "native:   $("$keys" keys "$index" 200)"
out=$(mktemp /tmp/tessel-search-cg-XXXXXX)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect='SearchIndex::search*' \
  "$keys" keys "$index" 30 >/dev/null 2>&1
ir=$(callgrind_annotate "$out" | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}')
searches=$("$keys" keys "$index" 30 | sed 's/ keystrokes.*//')
echo "callgrind: $((ir / searches)) instructions per keystroke on average ($searches keystrokes)"
if [ -n "$armhf" ]; then
  echo "qemu-arm: $(qemu-arm -L "$armhf/sysroot" "$armhf/bench/search/tessel_search_keys" keys "$index" 200)"
fi
