#!/usr/bin/env bash
# Kills a process that saves a package description in a loop with SIGKILL,
# KILLS times (default 200) at random moments, and counts how often the
# file was left whole. Not part of the test command: it sleeps for real.
# Usage: scripts/kill-save.sh [KILLS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-200}
"$root/scripts/build.sh" "$root/build" >/dev/null
loop=$root/build/tests/tessel_save_loop
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n' 'caption="Kill "me" softly"' api=google packed=no type=sat zoom=10 zoom_actual=10 \
  begin_x=0 begin_y=0 end_x=4 end_y=4 pos_x=0 pos_y=1 move_x=2 move_y=3 >"$work/map.conf"
whole=0
for ((i = 0; i < kills; i++)); do
  "$loop" save "$work/map.conf" &
  pid=$!
  sleep "0.0$((RANDOM % 90 + 10))"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  # The next start reads the file as the viewer would, recovering it if needed.
  if "$loop" check "$work/map.conf"; then whole=$((whole + 1)); fi
done
echo "kill-save: $whole of $kills kills left map.conf whole"
[ "$whole" -eq "$kills" ]
