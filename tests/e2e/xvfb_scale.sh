#!/usr/bin/env bash
# The real program at --scale 2: a click at doubled coordinates opens the
# package page, RETURN opens the package, and a drag moves the map with the
# pointer.
set -u
. "$(dirname "$0")/common.sh"
sample=$4
cd "$run_dir"
"$sample" alpha Alpha || fail "could not write the sample package"

# Screen (10, 60) shows tile 7's pixel (110, 110) after opening; after the
# map is dragged 30 px left and 20 px up it shows the pixel (140, 130).
spot() { # R,G,B -> "tile column row" in the tiles' pattern
  local r g b
  [[ $1 =~ ^[0-9]+,[0-9]+,[0-9]+ ]] || { echo none; return; }
  IFS=, read -r r g b _ <<<"$1"
  echo "$((r / 8)) $((g / 4 * 4)) $((b / 8 * 8))"
}
export -f spot

cat > session.sh <<'INNER'
set -u
. "$2/viewer.sh"
look() { # the spot at screen (10, 60): window (20, 120)
  import -window "$win" shot.png 2>/dev/null || { echo none; return; }
  spot "$(convert shot.png -crop 1x1+20+120 -depth 8 txt:- | tail -n 1 | grep -o '([0-9, ]*' | tr -d '( ')"
}
wait_for() { # SPOT
  for _ in $(seq 1 60); do
    [ "$(look)" = "$1" ] && return 0
    sleep 0.5
  done
  return 1
}
start_viewer "$1" --scale 2
geometry=$(xdotool getwindowgeometry "$win" | grep -o '[0-9]*x[0-9]*')
echo "$geometry" > geometry.txt
xdotool mousemove --window "$win" 110 462 click 1
sleep 0.5
xdotool key Return
wait_for "7 108 104" && echo opened >> result.txt
xdotool mousemove --window "$win" 300 300 mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove --window "$win" $((300 - 10 * step)) $((300 - 20 * step / 3))
  sleep 0.1
done
xdotool mouseup 1
wait_for "7 140 128" && echo dragged >> result.txt
look > last.txt
quit_viewer
INNER

timeout 120 bash "$source_dir/scripts/with_xvfb.sh" bash session.sh "$tessel" "$(dirname "$0")"
code=$?
[ $code -eq 0 ] || fail "exit code $code; stderr: $(cat stderr.txt 2>/dev/null)"
[ "$(cat geometry.txt)" = "640x480" ] || fail "window is $(cat geometry.txt), expected 640x480"
grep -q opened result.txt || fail "the package did not open from the doubled click: $(cat last.txt)"
grep -q dragged result.txt || fail "the drag did not move the map 30 px left and 20 px up: $(cat last.txt)"
echo "xvfb scale: ok"
