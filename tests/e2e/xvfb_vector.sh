#!/usr/bin/env bash
# The real program in an X window with a vector archive (the real Mapbox
# Streets tiles of the shared fixtures; skipped when they are absent): the
# open icon, RETURN on its line, and the window must then show the map
# drawn in its style (land colour, and more colours for what lies on it),
# with nothing said on standard error; Ctrl+C then ends it with exit code 0.
set -u
. "$(dirname "$0")/common.sh"
archive=$source_dir/../shared/fixtures/vector/uruguay.mbtiles
[ -r "$archive" ] || { echo "xvfb vector: skipped (no fixtures)"; exit 0; }
cp "$archive" "$run_dir/maps/"
cd "$run_dir"

cat > session.sh <<'INNER'
set -u
. "$2/viewer.sh"
# "LAND DISTINCT": pixels of the style's land colour (#f5eee4 in 16 bits)
# and distinct colours in the map area.
measure() {
  import -window "$win" shot.png 2>/dev/null || return 1
  convert shot.png -crop 320x200+0+20 -depth 8 txt:- | grep -o '([0-9, ]*' | tr -d '( ' |
    awk -F, 'NR > 0 {seen[$1 "," $2 "," $3] = 1; if (int($1 / 8) == 30 && int($2 / 4) == 59 && int($3 / 8) == 28) land++}
      END {n = 0; for (c in seen) n++; print land + 0, n}'
}
start_viewer "$1"
xdotool mousemove --window "$win" 55 231 click 1
sleep 0.5
xdotool key Return
# Slow builds (sanitizers) take longer to draw: look again for up to 30 s.
for _ in $(seq 1 60); do
  read -r land distinct <<<"$(measure)"
  [ "${land:-0}" -gt 6400 ] && [ "${distinct:-0}" -ge 6 ] && break
  sleep 0.5
done
echo "${land:-0} ${distinct:-0}" > measured.txt
quit_viewer
INNER

timeout 100 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel" "$(dirname "$0")"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
read -r land distinct < measured.txt
[ "$land" -gt 6400 ] && [ "$distinct" -ge 6 ] ||
  fail "the map shows $land pixels of land and $distinct colours; expected a drawn vector map"
[ ! -s stderr.txt ] || fail "the viewer said: $(head -c 400 stderr.txt)"
echo "xvfb vector: ok ($land land pixels, $distinct colours)"
