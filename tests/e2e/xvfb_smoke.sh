#!/usr/bin/env bash
# Starts the real program in an X window on Xvfb and quits it with Ctrl+C
# typed through XTEST; the program must exit with 0 and leave its settings.
set -u
. "$(dirname "$0")/common.sh"
cd "$run_dir"
cp tessel.conf shipped.conf

cat > session.sh <<'INNER'
set -u
tessel=$1
SDL_AUDIODRIVER=dummy "$tessel" 2>stderr.txt &
pid=$!
echo "display $DISPLAY" >&2
win=$(timeout 45 xdotool search --sync --name '^Tessel$' | head -n 1)
[ -n "$win" ] || { echo "no window" >&2; kill $pid; exit 10; }
geometry=$(xdotool getwindowgeometry "$win")
echo "$geometry" | grep -q 'Geometry: 320x240' || { echo "window: $geometry" >&2; kill $pid; exit 11; }
xdotool mousemove --window "$win" 160 120
sleep 0.3
xdotool key ctrl+c
for _ in $(seq 1 100); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then echo "still running" >&2; kill $pid; exit 12; fi
wait $pid
INNER

timeout 90 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
cmp -s tessel.conf shipped.conf || fail "tessel.conf changed by a run that changed nothing"
[ ! -e tessel.conf~ ] || fail "a backup was written by a run that changed nothing"
echo "xvfb smoke: ok"
