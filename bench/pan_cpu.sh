#!/usr/bin/env bash
# CPU time a viewer uses while its map is dragged, on a virtual 1024x768
# 24-bit X screen: the same strokes (300 window pixels right, then left, at
# about 200 pixels a second) for SECONDS, over the shared plain_1.mbtiles at
# level 3. Each Tessel binary runs at --scale 2 with the archive opened from
# the package page; with --foxtrotgps, FoxtrotGPS (a GTK viewer) shows the
# same tiles from a tile folder, downloading nothing. Prints user and system
# CPU per second of dragging for each, measured one after the other.
# Usage: bench/pan_cpu.sh SECONDS [--foxtrotgps] BINARY...   (a measurement, not a test)
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

# Strokes over the window from (X, Y) until SECONDS have passed.
drag() { # X Y
  local end=$(( $(date +%s) + seconds )) dx=4
  while [ "$(date +%s)" -lt "$end" ]; do
    xdotool mousemove --window "$win" "$1" "$2" mousedown 1
    for _ in $(seq 75); do
      xdotool mousemove_relative -- "$dx" 0
      sleep 0.01
    done
    xdotool mouseup 1
    dx=$(( -dx ))
    [ $dx -gt 0 ] && set -- $(( $1 - 300 )) "$2" || set -- $(( $1 + 300 )) "$2"
  done
}
# CPU of PID while the strokes run.
measure() { # NAME PID X Y
  local hz before after start spent user system
  hz=$(getconf CLK_TCK)
  before=($(awk '{print $14, $15}' "/proc/$2/stat"))
  start=$(date +%s%N)
  drag "$3" "$4"
  after=($(awk '{print $14, $15}' "/proc/$2/stat"))
  spent=$(( ($(date +%s%N) - start) / 1000000 ))
  user=$(( (after[0] - before[0]) * 1000 / hz * 1000 / spent ))
  system=$(( (after[1] - before[1]) * 1000 / hz * 1000 / spent ))
  echo "$1: user $user ms + system $system ms of CPU per second of dragging"
}
tessel() { # BINARY
  . "$root/scripts/find_window.sh"
  cd "$run"
  SDL_AUDIODRIVER=dummy "$1" --scale 2 --gps off >/dev/null 2>&1 &
  local pid=$!
  find_window $pid || { echo "pan_cpu: no window" >&2; kill $pid; return 1; }
  xdotool mousemove --window "$win" 110 462 click 1
  sleep 1
  xdotool key Return
  sleep 1
  xdotool key BackSpace KP_Add KP_Add KP_Add # the toolbar away, then level 3
  sleep 3
  measure "$1" $pid 170 240
  kill $pid
}
foxtrotgps() {
  local home=$run/fox
  python3 - "$archive" "$home/Maps/OSM" <<'PY'
import os, sqlite3, sys
db = sqlite3.connect('file:' + sys.argv[1] + '?mode=ro&immutable=1', uri=True)
for z, x, y, data in db.execute('select zoom_level, tile_column, tile_row, tile_data from tiles'):
    os.makedirs(f'{sys.argv[2]}/{z}/{x}', exist_ok=True)
    with open(f'{sys.argv[2]}/{z}/{x}/{(1 << z) - 1 - y}.png', 'wb') as f:
        f.write(data)
PY
  mkdir -p "$home/.config/glib-2.0/settings"
  printf '[org/foxtrotgps]\nauto-download=false\nglobal-zoom=3\n' >"$home/.config/glib-2.0/settings/keyfile"
  cd "$home"
  HOME=$home XDG_CONFIG_HOME=$home/.config GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1 command foxtrotgps >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -n 1) && [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "pan_cpu: no FoxtrotGPS window" >&2; kill $pid; return 1; }
  sleep 3
  measure FoxtrotGPS $pid 200 240
  kill $pid
}
export -f drag measure tessel foxtrotgps
export run root seconds archive
for viewer in "$@"; do
  if [ "$viewer" = --foxtrotgps ]; then
    set -- foxtrotgps
  else
    set -- tessel "$(readlink -f "$viewer")"
  fi
  TESSEL_XVFB_SCREEN=1024x768x24 bash "$root/scripts/with_xvfb.sh" bash -c '"$@"' _ "$@"
done
