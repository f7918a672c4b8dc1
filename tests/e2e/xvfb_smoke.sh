#!/usr/bin/env bash
# Starts the real program in an X window on Xvfb and quits it with Ctrl+C
# typed through XTEST; the program must exit with 0 and leave its settings.
set -u
. "$(dirname "$0")/common.sh"
cd "$run_dir"
cp tessel.conf shipped.conf

cat > session.sh <<'INNER'
set -u
. "$2/viewer.sh"
start_viewer "$1"
echo "display $DISPLAY" >&2
geometry=$(xdotool getwindowgeometry "$win")
echo "$geometry" | grep -q 'Geometry: 320x240' || { echo "window: $geometry" >&2; kill $pid; exit 11; }
xdotool mousemove --window "$win" 160 120
sleep 0.3
quit_viewer
INNER

timeout 90 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel" "$(dirname "$0")"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
cmp -s tessel.conf shipped.conf || fail "tessel.conf changed by a run that changed nothing"
[ ! -e tessel.conf~ ] || fail "a backup was written by a run that changed nothing"
echo "xvfb smoke: ok"
