#!/usr/bin/env bash
# Draws the interface images in media/ with ImageMagick (Debian package
# imagemagick). The PNGs are committed; run this after changing a drawing.
# Usage: tools/make-media.sh [OUTPUT_DIR]
set -euo pipefail
out=${1:-$(cd "$(dirname "$0")/.." && pwd)/media}
mkdir -p "$out"
command -v convert >/dev/null || { echo "make-media: needs ImageMagick's convert" >&2; exit 1; }

amber='#ffbf00'
ink='#1e222a'      # panel colour
panel='rgba(30,34,42,0.92)'
light='#c8c8c8'
dim='#5a5a5a'
font=DejaVu-Sans
png() { convert "$@" -define png:color-type=6 -strip "PNG32:$last"; }

# --- start-up picture: a dark map sheet with the name in the middle
last=$out/splash.png
png -size 320x240 gradient:'#28303c'-'#12161c' \
  -stroke 'rgba(255,191,0,0.10)' -strokewidth 1 \
  -draw "path 'M 0,60 L 320,60 M 0,120 L 320,120 M 0,180 L 320,180 M 80,0 L 80,240 M 160,0 L 160,240 M 240,0 L 240,240'" \
  -stroke 'rgba(200,200,200,0.18)' -strokewidth 2 -fill none \
  -draw "path 'M -10,170 C 60,120 110,200 170,150 S 260,90 330,120'" \
  -draw "path 'M 40,250 C 70,190 120,160 150,100 S 200,20 230,-10'" \
  -stroke none -fill "$amber" -font "$font-Bold" -pointsize 40 -gravity center -annotate +0-12 'Tessel' \
  -fill "$light" -font "$font" -pointsize 12 -annotate +0+22 'offline maps' \
  -fill "$amber" -draw "circle 160,62 160,70" -fill '#12161c' -draw "circle 160,62 160,66"

# --- toolbar strip
last=$out/toolbar_bg.png
png -size 320x28 gradient:'rgba(40,46,56,0.94)'-'rgba(18,22,28,0.96)' \
  -fill "$amber" -draw "rectangle 0,0 319,0" -fill 'rgba(255,191,0,0.25)' -draw "rectangle 0,1 319,1"

# --- menu panel: rounded, with a rule under the heading
last=$out/menu_bg.png
png -size 256x126 xc:none -fill "$panel" -stroke "$amber" -strokewidth 1 \
  -draw "roundrectangle 0.5,0.5 255.5,125.5 7,7" \
  -stroke 'rgba(255,191,0,0.45)' -draw "line 10,31 245,31"

# --- scrollbar: arrows, track, slider (box 9 pixels wide)
last=$out/scrollbar_top.png
png -size 9x6 xc:none -fill "$amber" -draw "polygon 4.5,0 9,6 0,6"
last=$out/scrollbar_bottom.png
png -size 9x6 xc:none -fill "$amber" -draw "polygon 0,0 9,0 4.5,6"
last=$out/scrollbar_bg.png
png -size 9x73 xc:none -fill 'rgba(200,200,200,0.35)' -draw "roundrectangle 3,0 5,72 1,1"
last=$out/scrollbar_slider.png
png -size 9x10 xc:none -fill "$amber" -draw "roundrectangle 1,0 7,9 3,3"

# --- notification panel
last=$out/bgnotification_bg.png
png -size 213x25 xc:none -fill "$panel" -stroke "$amber" -strokewidth 1 \
  -draw "roundrectangle 0.5,-6 212.5,24.5 6,6"

# --- battery: outline, nub, and the charge
battery() { # name fill-width colour
  last=$out/battery_$1.png
  png -size 18x10 xc:none -fill none -stroke "$light" -strokewidth 1 -draw "rectangle 0.5,0.5 15.5,9.5" \
    -stroke none -fill "$light" -draw "rectangle 16,3 17,6" \
    -fill "$3" -draw "rectangle 2,2 $((1 + $2)),7"
}
battery full 12 '#6cd16c'
battery mid 8 "$amber"
battery low 4 '#e85a3c'
battery empty 0 none

# --- centre cross: white with a dark outline so it shows on any map
last=$out/cross.png
png -size 15x15 xc:none -fill "$ink" -draw "rectangle 6,0 8,14 rectangle 0,6 14,8" \
  -fill white -draw "rectangle 7,1 7,13 rectangle 1,7 13,7"

# --- missing tile
last=$out/na.png
png -size 256x256 pattern:checkerboard -fill 'rgba(220,220,220,0.85)' -draw "rectangle 0,0 255,255" \
  -fill '#8a8a8a' -font "$font" -pointsize 14 -gravity center -annotate +0+0 'no tile here'

# --- toolbar icons, each in three looks: normal, disabled (-d), active (-a)
icon() { # name size draw-commands...
  local name=$1 size=$2
  shift 2
  local looks=("" "$light" "-d" "$dim" "-a" "$ink")
  for ((i = 0; i < 6; i += 2)); do
    local suffix=${looks[i]} colour=${looks[i + 1]}
    last=$out/icon_$name$suffix.png
    local base=(-size "${size}x${size}" xc:none)
    [ "$suffix" = "-a" ] && base+=(-fill "$amber" -draw "roundrectangle 0,0 $((size - 1)),$((size - 1)) 4,4")
    png "${base[@]}" -fill none -stroke "$colour" -strokewidth 1.6 "$@" \
      -fill "$colour" -stroke none ${EXTRA:+"${EXTRA[@]}"}
  done
}
EXTRA=
icon zoomin 20 -draw "circle 8,8 8,14" -draw "line 12.5,12.5 17.5,17.5" -draw "line 5,8 11,8 line 8,5 8,11"
icon zoomout 20 -draw "circle 8,8 8,14" -draw "line 12.5,12.5 17.5,17.5" -draw "line 5,8 11,8"
icon open 16 -draw "path 'M 2,4 L 6,4 L 7.5,5.5 L 14,5.5 L 14,13 L 2,13 Z'" -draw "line 2,7.5 14,7.5"
icon save 16 -draw "path 'M 2,2 L 12,2 L 14,4 L 14,14 L 2,14 Z'" -draw "rectangle 5,2.5 11,6" -draw "rectangle 4.5,9.5 11.5,14"
icon options 16 -draw "circle 8,8 8,11" \
  -draw "line 8,1 8,3.5 line 8,12.5 8,15 line 1,8 3.5,8 line 12.5,8 15,8 line 3,3 4.8,4.8 line 11.2,11.2 13,13 line 3,13 4.8,11.2 line 11.2,4.8 13,3"
icon mapoptions 16 -draw "polygon 8,2 15,5.5 8,9 1,5.5" -draw "polyline 1,8.5 8,12 15,8.5" -draw "polyline 1,11.5 8,15 15,11.5"
icon exit 16 -draw "arc 2,3 14,15 -60,240" -draw "line 8,1 8,8"
# follow the position: a sight with the fix's dot in it
EXTRA=(-draw "circle 8,8 8,10.2")
icon follow 16 -draw "circle 8,8 8,13" -draw "line 8,0.5 8,4 line 8,12 8,15.5 line 0.5,8 4,8 line 12,8 15.5,8"
EXTRA=
echo "make-media: wrote $(ls "$out"/*.png | wc -l) images to $out"
