#!/usr/bin/env bash
# Lays a run directory: the shipped media, languages and maps, the system
# font as media/font.ttf, and tessel.conf unless the directory has one
# already (the user's settings are kept).
# Usage: lay-run-dir.sh DEST [FONT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dest=$1
font=${2:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
mkdir -p "$dest/media" "$dest/lang" "$dest/maps" "$dest/tracks"
for d in media lang; do
  if [ -d "$root/$d" ]; then cp -R "$root/$d/." "$dest/$d/"; fi
done
# Packages already in the run directory are the user's: never overwritten.
if [ -d "$root/maps" ]; then cp -R -n "$root/maps/." "$dest/maps/"; fi
cp "$font" "$dest/media/font.ttf"
[ -f "$dest/tessel.conf" ] || cp "$root/tessel.conf" "$dest/tessel.conf"
