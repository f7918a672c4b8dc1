#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a virtual screen:
# the Earth package with its graticule, and the Seznam sample.
# Usage: scripts/screenshot.sh [OUTPUT_DIR]   (after a build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root}"
out=$(cd "${1:-$root}" && pwd)
work=$(mktemp -d /tmp/tessel-shot-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$root/scripts/lay-run-dir.sh" "$work"
"$root/build/tools/tessel-pack" earth "$work/maps/earth" >/dev/null
"$root/build/tools/tessel-pack" sample "$work/maps/sample" >/dev/null
cd "$work"

# One run of the viewer: opens package PACKAGE, types KEYS (xdotool key
# names, "-" for none), saves the window as FILE.
cat > session.sh <<'INNER'
set -eu
tessel=$1 package=$2 keys=$3 file=$4
. "$5/find_window.sh"
# The package page lists the packages in directory order.
line=$(ls -f maps | grep -v '^\.' | grep -n "^$package\$" | cut -d: -f1)
SDL_AUDIODRIVER=dummy "$tessel" --scale 1 &
pid=$!
find_window $pid
step() { xdotool "$@"; sleep 0.6; }
step mousemove --window "$win" 55 231 click 1
for _ in $(seq 2 "$line"); do step key Down; done
step key Return
[ "$keys" = - ] || for k in $keys; do step key "$k"; done
import -window "$win" "$file"
xdotool key ctrl+c
wait $pid
INNER
# Earth: the overlay on (map layers, second line, first overlay), then one level closer.
bash "$root/scripts/with_xvfb.sh" bash session.sh "$root/build/tessel" earth \
  "Right Right Right Return Down Return Return Escape Escape KP_Add" earth.png "$root/scripts"
bash "$root/scripts/with_xvfb.sh" bash session.sh "$root/build/tessel" sample \
  "Right Right Right Return Return Down Return Down Return Return Escape Escape" sample.png "$root/scripts"
convert earth.png -scale 200% "$out/screenshot-earth.png"
convert sample.png -scale 200% "$out/screenshot-sample.png"
echo "screenshots in $out"
