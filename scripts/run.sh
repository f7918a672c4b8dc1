#!/usr/bin/env bash
# Sets up, builds and starts the viewer in run/ (settings and maps that the
# viewer rewrites live there, never in tracked files).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
"$root/scripts/lay-run-dir.sh" "$root/run"
cd "$root/run"
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no DISPLAY; starting the viewer on a virtual screen (Xvfb)" >&2
  export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
  exec "$root/scripts/with_xvfb.sh" "$root/build/tessel" "$@"
fi
exec "$root/build/tessel" "$@"
