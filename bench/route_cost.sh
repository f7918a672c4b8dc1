#!/usr/bin/env bash
# What a route costs, with the shipped profiles: the 50 km car route over the
# synthetic million-node network and the 38 km car route across Andorra
# (their routing data is made by the benchmark binary, tessel_bench
# --benchmark_filter=Route, into BUILD_DIR/bench-routes).
#  - instructions from the call to the worded turns (Router::compute and
#    every TurnText::describe), counted by callgrind: the difference between
#    11 routes and 1, divided by 10, so the profiles' first parsing is left
#    out;
#  - wall-clock median and worst of 10, and the peak resident size, natively;
#  - the same under qemu-arm when an armhf build is given (scripts/cross.sh
#    makes build-armhf): a stand-in for a 1 GHz board, not one.
# A measurement, not a test.
# Usage: bench/route_cost.sh BUILD_DIR [ARMHF_BUILD_DIR]
set -euo pipefail
build=$(readlink -f "$1")
arm=${2:+$(readlink -f "$2")}
data=$build/bench-routes
out=$(mktemp -d /tmp/tessel-route-cost-XXXXXX)
trap 'rm -rf "$out"' EXIT
[ -d "$data/network.routes" ] || "$build/bench/tessel_bench" --benchmark_filter=Route >/dev/null
cases=("network.routes 45.0,7.0254 45.1976,7.3049" "andorra.routes 42.5425,1.7330 42.4633,1.4906")
for c in "${cases[@]}"; do
  read -r dir from to <<<"$c"
  for runs in 1 11; do
    valgrind --tool=callgrind --callgrind-out-file="$out/cg.$runs" --toggle-collect='Router::compute*' \
      --toggle-collect='TurnText::describe*' "$build/tests/tessel_route_timer" "$data/$dir" "$from" "$to" $runs \
      >/dev/null 2>"$out/log" || { cat "$out/log" >&2; exit 1; }
  done
  one=$(grep -h '^totals:' "$out/cg.1" | awk '{print $2}')
  eleven=$(grep -h '^totals:' "$out/cg.11" | awk '{print $2}')
  awk -v d="$dir" -v a="$one" -v b="$eleven" 'BEGIN {printf "%s: %.1f M instructions a route (first: %.1f M)\n", d, (b - a) / 10e6, a / 1e6}'
  echo "  native: $("$build/tests/tessel_route_timer" "$data/$dir" "$from" "$to" 10 | tail -n 1)"
  if [ -n "$arm" ]; then
    echo "  qemu-arm: $(qemu-arm -L "$arm/sysroot" "$arm/tests/tessel_route_timer" "$data/$dir" "$from" "$to" 10 | tail -n 1)"
  fi
done
