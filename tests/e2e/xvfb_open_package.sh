#!/usr/bin/env bash
# The real program in an X window: a click on the open icon, RETURN on the
# package page, and the window must then show the package's tile (1, 1)
# at its top left; Ctrl+C then ends it with exit code 0.
set -u
. "$(dirname "$0")/common.sh"
sample=$4
cd "$run_dir"
"$sample" alpha Alpha || fail "could not write the sample package"

# Screen (10, 60) shows tile (1, 1) (id 7: red 56) at its pixel (110, 110):
# green 108, blue 104 (the tiles' pattern, in 16-bit precision).
is_tile_7_pixel() { # R,G,B
  local r g b
  [[ $1 =~ ^[0-9]+,[0-9]+,[0-9]+ ]] || return 1
  IFS=, read -r r g b _ <<<"$1"
  [ $((r / 8)) -eq 7 ] && [ $((g / 4)) -eq 27 ] && [ $((b / 8)) -eq 13 ]
}
export -f is_tile_7_pixel

cat > session.sh <<'INNER'
set -u
. "$2/viewer.sh"
shows_tile_7() {
  import -window "$win" shot.png 2>/dev/null || return 1
  pixel=$(convert shot.png -crop 1x1+10+60 -depth 8 txt:- | tail -n 1 | grep -o '([0-9, ]*' | tr -d '( ')
  is_tile_7_pixel "$pixel"
}
pixel=none
start_viewer "$1"
xdotool mousemove --window "$win" 55 231 click 1
# The package page opens on the click; RETURN then opens its first line.
# X queues both, so the viewer takes them in order however slow it runs.
sleep 0.5
xdotool key Return
# Slow builds (sanitizers) take longer to draw: look again for up to 30 s.
for _ in $(seq 1 60); do
  shows_tile_7 && break
  sleep 0.5
done
echo "$pixel" > pixel.txt
quit_viewer
INNER

timeout 100 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel" "$(dirname "$0")"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
[ -f shot.png ] || fail "no screenshot"
pixel=$(cat pixel.txt)
is_tile_7_pixel "$pixel" ||
  fail "screen (10, 60) is $pixel, expected tile 7's pixel (110, 110): 56, 108, 104"
echo "xvfb open package: ok ($pixel)"
