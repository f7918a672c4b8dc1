#!/usr/bin/env bash
# The real program in an X window with a real gpsd: gpsfake replays a walk
# on a free loopback port, the viewer (--gps) opens the sample package,
# centres on the fix and draws its marker there, records the walk, and on
# Ctrl+C leaves a recording that parses as GPX.
set -u
. "$(dirname "$0")/common.sh"
sample=$4
cd "$run_dir"
"$sample" alpha Alpha || fail "could not write the sample package"
sed -i 's/^record_track=no/record_track=yes/' tessel.conf

# A walk east inside the sample package's area, a fix a second.
python3 "$source_dir/scripts/nmea-walk.py" 84.62 -174.45 120 > walk.nmea
port=$(python3 "$source_dir/scripts/free-port.py")
# gpsd's control socket in the run directory.
TMPDIR=$run_dir setsid gpsfake -q -c 0.5 -P "$port" walk.nmea >gpsfake.txt 2>&1 &
gpsfake=$!
disown "$gpsfake" # no job notice when the trap kills it
trap 'bash "$source_dir/scripts/stop-gpsfake.sh" "$gpsfake" "$port"; rm -rf "$run_dir"' EXIT

cat > session.sh <<'INNER'
set -u
. "$2/viewer.sh"
# The marker's blue (30, 120, 255) somewhere near the window's centre.
marker_at_centre() {
  import -window "$win" shot.png 2>/dev/null || return 1
  convert shot.png -crop 21x21+150+110 -depth 8 txt:- | grep -Eq '\((2[0-9]|3[0-9]),(11[0-9]|12[0-9]),(24[0-9]|25[0-5])'
}
start_viewer "$1" --scale 1 --gps "127.0.0.1:$3"
xdotool mousemove --window "$win" 55 231 click 1
sleep 0.5
xdotool key Return
found=no
# gpsd needs a few seconds to listen and the viewer retries every three.
for _ in $(seq 1 80); do
  marker_at_centre && { found=yes; break; }
  sleep 0.5
done
echo $found > found.txt
# A recording of fewer than two points leaves no file: wait (bounded) until
# the flushed recording holds two.
for _ in $(seq 1 40); do
  [ "$(cat tracks/recorded-*.gpx 2>/dev/null | grep -o '<trkpt' | wc -l)" -ge 2 ] && break
  sleep 0.25
done
quit_viewer
INNER

timeout 110 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel" "$(dirname "$0")" "$port"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
[ "$(cat found.txt)" = yes ] || fail "no marker at the window's centre; gpsfake: $(cat gpsfake.txt)"
recording=$(ls tracks/recorded-*.gpx 2>/dev/null | head -n 1)
[ -n "$recording" ] || fail "no recording in tracks/"
points=$(python3 -c '
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
print(len(root.findall(".//{http://www.topografix.com/GPX/1/1}trkpt")))' "$recording") ||
  fail "$recording does not parse"
[ "$points" -ge 2 ] || fail "$recording has fewer than two points"
echo "xvfb gps: ok ($points points in $(basename "$recording"))"
