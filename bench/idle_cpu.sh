#!/usr/bin/env bash
# CPU time the real viewer uses while nothing happens: started on a virtual
# 24-bit X screen in a fresh run directory, left alone for SECONDS (default
# 10) after a short settling time. Prints the share of one core.
# Usage: bench/idle_cpu.sh BINARY [SECONDS]   (a measurement, not a test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(readlink -f "$1")
seconds=${2:-10}
run=$(mktemp -d /tmp/tessel-idle-XXXXXX)
trap 'rm -rf "$run"' EXIT
bash "$root/scripts/lay-run-dir.sh" "$run" >/dev/null
measure() {
  cd "$run"
  SDL_AUDIODRIVER=dummy "$binary" >/dev/null 2>&1 &
  local pid=$! hz
  hz=$(getconf CLK_TCK)
  sleep 3
  local before after
  before=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  sleep "$seconds"
  after=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  local user=$(( after[0] - before[0] )) system=$(( after[1] - before[1] ))
  kill "$pid"
  local total=$(( (user + system) * 1000 / hz / seconds ))
  echo "$binary: $(( total / 10 )).$(( total % 10 ))% of one core idle over ${seconds} s (user $(( user * 1000 / hz )) ms, system $(( system * 1000 / hz )) ms)"
}
export -f measure
export run binary seconds
bash "$root/scripts/with_xvfb.sh" bash -c measure
