#!/usr/bin/env bash
# Kills a recording process with SIGKILL, KILLS times (default 100) after
# a random 0.5 to 7 s, and counts the fixes each kill lost: the recording
# must parse after the next start's repair and hold every fix sent 5 s or
# more before the kill. RATE fixes a second (default 5, as many as the
# recorder keeps). Not part of the
# test command: it sleeps for real.
# Usage: scripts/kill-record.sh [KILLS] [RATE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kills=${1:-100}
rate=${2:-5}
"$root/scripts/build.sh" "$root/build" >/dev/null
loop=$root/build/tests/tessel_record_loop
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0 lost=0 most=0 sent=0
for ((i = 0; i < kills; i++)); do
  rm -rf "$work/tracks" && mkdir "$work/tracks"
  "$loop" record "$work/tracks" "$rate" >"$work/log" &
  pid=$!
  sleep "$((RANDOM % 7)).$((RANDOM % 10))5"
  killed=$(date +%s%3N)
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  if result=$("$loop" check "$work/tracks" "$work/log" "$killed"); then :; else failed=$((failed + 1)); echo "kill $i: $result"; fi
  read -r _ s _ _ _ l _ <<<"$result" || true
  if [[ $l =~ ^[0-9]+$ ]]; then
    lost=$((lost + l)) sent=$((sent + s))
    ((l > most)) && most=$l
  fi
done
echo "kill-record: $kills kills at $rate fixes/s: $sent fixes sent, $lost lost (at most $most in one kill), $failed kills broke the promise"
[ "$failed" -eq 0 ]
