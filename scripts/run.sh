#!/usr/bin/env bash
# Sets up, builds and starts the viewer in run/ (settings and maps that the
# viewer rewrites live there, never in tracked files).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
"$root/scripts/lay-run-dir.sh" "$root/run"
# The demo packages, made once (the viewer rewrites their positions).
[ -d "$root/run/maps/earth" ] || "$root/build/tools/tessel-pack" earth "$root/run/maps/earth"
[ -d "$root/run/maps/sample" ] || "$root/build/tools/tessel-pack" sample "$root/run/maps/sample"
cd "$root/run"
if [ -z "${DISPLAY:-}" ]; then
  echo "run: no DISPLAY; starting the viewer on a virtual screen (Xvfb)" >&2
  export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
  exec "$root/scripts/with_xvfb.sh" "$root/build/tessel" "$@"
fi
exec "$root/build/tessel" "$@"
