#!/usr/bin/env bash
# CPU time the real viewer uses while panning at --scale 2 on a virtual
# 1024x768 24-bit X screen: the shared plain_1.mbtiles opened from the
# package page, the toolbar hidden, zoomed in twice, then the arrow keys
# held right and left in turn for SECONDS. Prints user and system CPU per second of
# panning for each binary, measured one after the other in one run, so that
# two builds compare side by side.
# Usage: bench/pan_cpu.sh SECONDS BINARY...   (a measurement, not a test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=$1
shift
archive=$root/../shared/fixtures/plain_1.mbtiles
[ -f "$archive" ] || { echo "pan_cpu: $archive is missing" >&2; exit 1; }
run=$(mktemp -d /tmp/tessel-pan-XXXXXX)
trap 'rm -rf "$run"' EXIT
bash "$root/scripts/lay-run-dir.sh" "$run" >/dev/null
cp "$archive" "$run/maps/"
measure() { # BINARY
  . "$root/scripts/find_window.sh"
  cd "$run"
  SDL_AUDIODRIVER=dummy "$1" --scale 2 --gps off >/dev/null 2>&1 &
  local pid=$! hz
  hz=$(getconf CLK_TCK)
  find_window $pid || { echo "pan_cpu: no window" >&2; kill $pid; return 1; }
  xdotool mousemove --window "$win" 110 462 click 1
  sleep 1
  xdotool key Return
  sleep 2
  xdotool key BackSpace # the toolbar away: the arrows pan
  sleep 1
  xdotool key KP_Add KP_Add
  sleep 3
  local before after half=$(( seconds / 2 ))
  before=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  for key in Right Left; do
    xdotool keydown "$key"
    sleep "$half"
    xdotool keyup "$key"
  done
  after=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  local user=$(( (after[0] - before[0]) * 1000 / hz )) system=$(( (after[1] - before[1]) * 1000 / hz ))
  local spent=$(( half * 2 ))
  echo "$1: user $(( user / spent )) ms + system $(( system / spent )) ms of CPU per second of panning"
}
export -f measure
export run root seconds
for binary in "$@"; do
  TESSEL_XVFB_SCREEN=1024x768x24 bash "$root/scripts/with_xvfb.sh" bash -c 'measure "$0"' "$(readlink -f "$binary")"
done
