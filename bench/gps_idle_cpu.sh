#!/usr/bin/env bash
# CPU time the real viewer and the X server use while the user does nothing,
# beside FoxtrotGPS (a GTK viewer) on the same tiles and the same feed, in
# one run on virtual X screens. Both show the shared plain_1.mbtiles at level
# 4 (FoxtrotGPS from a tile folder, downloading nothing), the toolbar shown,
# in these cases: the live position off (Tessel only: FoxtrotGPS cannot turn
# it off), gpsd absent (nothing listens on its port), a fix a second and ten
# fixes a second from gpsfake (the same walk east at 36 m/s, so the five
# decimals of the followed position change with nearly every fix; the view
# follows it), and a fix a second recorded. Each case runs SECONDS (default 60) after a settling time.
# Prints CPU milliseconds a minute for the viewer and for the X server, and
# Tessel's over FoxtrotGPS's where both ran.
# Usage: bench/gps_idle_cpu.sh BINARY [SECONDS]   (a measurement, not a test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(readlink -f "$1")
seconds=${2:-60}
archive=$root/../shared/fixtures/plain_1.mbtiles
[ -f "$archive" ] || { echo "gps_idle_cpu: $archive is missing" >&2; exit 1; }
command -v foxtrotgps >/dev/null || { echo "gps_idle_cpu: foxtrotgps is not installed" >&2; exit 1; }
run=$(mktemp -d /tmp/tessel-gpsidle-XXXXXX)
one=
ten=
slow=
fast=
trap 'bash "$root/scripts/stop-gpsfake.sh" "$one" "$slow"; bash "$root/scripts/stop-gpsfake.sh" "$ten" "$fast"; rm -rf "$run"' EXIT
bash "$root/scripts/lay-run-dir.sh" "$run" >/dev/null
cp "$archive" "$run/maps/"
cd "$run"
sed -i 's/^record_track=.*/record_track=no/' tessel.conf
grep -q '^record_track=' tessel.conf || echo record_track=no >>tessel.conf
# Fixes enough for every case on each feed: two fixes (RMC and GGA lines)
# a second with -c 0.5, twenty with -c 0.05.
python3 "$root/scripts/nmea-walk.py" 50.08 14.42 $(( 4 * (seconds + 30) )) > slow.nmea
python3 "$root/scripts/nmea-walk.py" 50.08 14.42 $(( 20 * (seconds + 30) )) 10 > fast.nmea
absent=$(python3 "$root/scripts/free-port.py")
slow=$(python3 "$root/scripts/free-port.py")
fast=$(python3 "$root/scripts/free-port.py")
while [ "$fast" = "$slow" ]; do fast=$(python3 "$root/scripts/free-port.py"); done
mkdir -p slow fast
TMPDIR=$run/slow setsid gpsfake -q -c 0.5 -P "$slow" slow.nmea >slow/gpsfake.txt 2>&1 &
one=$!
disown "$one" # no job notice when the trap kills it
TMPDIR=$run/fast setsid gpsfake -q -c 0.05 -P "$fast" fast.nmea >fast/gpsfake.txt 2>&1 &
ten=$!
disown "$ten"

# The tiles as FoxtrotGPS reads them: Maps/OSM/z/x/y.png.
python3 - "$archive" "$run/fox/Maps/OSM" <<'PY'
import os, sqlite3, sys
db = sqlite3.connect('file:' + sys.argv[1] + '?mode=ro&immutable=1', uri=True)
for z, x, y, data in db.execute('select zoom_level, tile_column, tile_row, tile_data from tiles'):
    os.makedirs(f'{sys.argv[2]}/{z}/{x}', exist_ok=True)
    with open(f'{sys.argv[2]}/{z}/{x}/{(1 << z) - 1 - y}.png', 'wb') as f:
        f.write(data)
PY

# Nanoseconds on a CPU of every thread of PID (finer than /proc/PID/stat's
# hundredths), and milliseconds a minute between two readings.
ticks() { cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%d", ns}'; }
per_minute() { echo $(( ($2 - $1) / 1000000 * 60 / seconds )); }
# Measures PID and the X server for SECONDS; prints "NAME viewer x".
measure() { # NAME PID
  local server v0 x0 v1 x1
  server=$(pgrep -P "$PPID" -x Xvfb)
  v0=$(ticks "$2") x0=$(ticks "$server")
  sleep "$seconds"
  v1=$(ticks "$2") x1=$(ticks "$server")
  echo "$1 $(per_minute "$v0" "$v1") $(per_minute "$x0" "$x1")"
}
tessel() { # NAME GPS [RECORD]
  . "$root/tests/e2e/viewer.sh"
  cd "$run"
  [ "${3:-}" = record ] && sed -i 's/^record_track=no/record_track=yes/' tessel.conf
  start_viewer "$binary" --scale 1 --gps "$2"
  xdotool mousemove --window "$win" 55 231 click 1
  sleep 0.5
  xdotool key Return
  sleep 1
  xdotool key KP_Add KP_Add KP_Add KP_Add
  sleep 5
  measure "Tessel $1" "$pid"
  quit_viewer >/dev/null || true
  sed -i 's/^record_track=yes/record_track=no/' tessel.conf
}
foxtrotgps() { # NAME PORT
  local home=$run/fox pid
  mkdir -p "$home/.config/glib-2.0/settings"
  # The view's corner in world pixels at level 4, the walk near its middle.
  printf "[org/foxtrotgps]\nauto-download=false\nglobal-zoom=4\nglobal-x=1812\nglobal-y=1087\ngpsd-host='127.0.0.1'\ngpsd-port='%s'\ntracklog-on=false\n" \
    "$2" >"$home/.config/glib-2.0/settings/keyfile"
  cd "$home"
  HOME=$home XDG_CONFIG_HOME=$home/.config GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1 command foxtrotgps >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid $pid 2>/dev/null | head -n 1) && [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "gps_idle_cpu: no FoxtrotGPS window" >&2; kill $pid; return 1; }
  sleep 5
  measure "FoxtrotGPS $1" $pid
  kill $pid
  wait $pid 2>/dev/null || true
}
export -f ticks per_minute measure tessel foxtrotgps
export root binary seconds run
cases=$run/cases.txt
# Each viewer on a screen of its own, so the X server's time is its alone.
session() { TESSEL_XVFB_SCREEN=640x480x24 bash "$root/scripts/with_xvfb.sh" bash -c '"$@"' _ "$@" | tee -a "$cases"; }
session tessel 'gps off' off
session tessel 'gpsd absent' "127.0.0.1:$absent"
session foxtrotgps 'gpsd absent' "$absent"
session tessel '1 Hz fix' "127.0.0.1:$slow"
session tessel '1 Hz fix recorded' "127.0.0.1:$slow" record
session foxtrotgps '1 Hz fix' "$slow"
session tessel '10 Hz fix' "127.0.0.1:$fast"
session foxtrotgps '10 Hz fix' "$fast"
ls "$run"/tracks/recorded-*.gpx >/dev/null 2>&1 && echo "recorded: $(grep -c '<trkpt' "$run"/tracks/recorded-*.gpx | tail -n 1) points"
echo "CPU ms a minute (viewer, X server):"
python3 - "$cases" <<'PY'
import sys
rows = {}
for line in open(sys.argv[1]):
    words = line.split()
    viewer, case, own, server = words[0], ' '.join(words[1:-2]), int(words[-2]), int(words[-1])
    rows[(viewer, case)] = (own, server)
for (viewer, case), (own, server) in rows.items():
    if viewer != 'Tessel':
        continue
    peer = rows.get(('FoxtrotGPS', case)) or (rows.get(('FoxtrotGPS', 'gpsd absent')) if case == 'gps off' else None)
    ratio = ''
    if peer:
        ratio = '  FoxtrotGPS %d + %d: Tessel/FoxtrotGPS %.2f (viewer), %.2f (both)' % (
            peer[0], peer[1], own / max(peer[0], 1), (own + server) / max(peer[0] + peer[1], 1))
    print('%-18s %5d + %5d%s' % (case, own, server, ratio))
PY
