#!/usr/bin/env bash
# CPU time the real viewer uses while the user does nothing, with the sample
# package open, in three cases: the live position off, gpsd absent (nothing
# listens on its port), and a fix a second from gpsfake (a walk the view
# follows, recorded). Each case runs SECONDS (default 60) after a settling
# time, on a virtual X screen. Prints the share of one core per case.
# Usage: bench/gps_idle_cpu.sh BINARY SAMPLE_PACKAGE_BINARY [SECONDS]
# (a measurement, not a test; SAMPLE_PACKAGE_BINARY is the build's
# tests/tessel_sample_package)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(readlink -f "$1")
sample=$(readlink -f "$2")
seconds=${3:-60}
run=$(mktemp -d /tmp/tessel-gpsidle-XXXXXX)
gpsfake_pid=
live=
trap 'bash "$root/scripts/stop-gpsfake.sh" "$gpsfake_pid" "$live"; rm -rf "$run"' EXIT
bash "$root/scripts/lay-run-dir.sh" "$run" >/dev/null
cd "$run"
"$sample" alpha Alpha
sed -i 's/^record_track=no/record_track=yes/' tessel.conf
python3 "$root/scripts/nmea-walk.py" 84.62 -174.45 $((seconds + 60)) > walk.nmea
absent=$(python3 "$root/scripts/free-port.py")
live=$(python3 "$root/scripts/free-port.py")
TMPDIR=$run setsid gpsfake -q -c 0.5 -P "$live" walk.nmea >gpsfake.txt 2>&1 &
gpsfake_pid=$!
disown "$gpsfake_pid" # no job notice when the trap kills it

measure() { # NAME GPS
  . "$root/tests/e2e/viewer.sh"
  start_viewer "$binary" --scale 1 --gps "$2"
  xdotool mousemove --window "$win" 55 231 click 1
  sleep 0.5
  xdotool key Return
  sleep 5
  local hz before after
  hz=$(getconf CLK_TCK)
  before=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  sleep "$seconds"
  after=($(awk '{print $14, $15}' "/proc/$pid/stat"))
  local user=$(( after[0] - before[0] )) system=$(( after[1] - before[1] ))
  quit_viewer || true
  local total=$(( (user + system) * 1000 / hz / seconds ))
  echo "$1: $(( total / 10 )).$(( total % 10 ))% of one core over ${seconds} s (user $(( user * 1000 / hz )) ms, system $(( system * 1000 / hz )) ms)"
}
export -f measure
export root binary seconds
bash "$root/scripts/with_xvfb.sh" bash -c "measure 'gps off' off; measure 'gpsd absent' 127.0.0.1:$absent; measure 'fix at 1 Hz' 127.0.0.1:$live"
ls tracks/recorded-*.gpx >/dev/null 2>&1 && echo "recorded: $(grep -c '<trkpt' tracks/recorded-*.gpx | tail -n 1) points"
