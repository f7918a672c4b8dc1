#!/usr/bin/env bash
# Installs every Debian package that building, testing and running need.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev fonts-dejavu-core
  libgtest-dev libbenchmark-dev libpng-dev libspng-dev libjpeg-dev libwebp-dev zlib1g-dev libsqlite3-dev libexpat1-dev
  libprotozero-dev libcairo2-dev nlohmann-json3-dev libgps-dev libcurl4-openssl-dev
  libfontconfig-dev fonts-noto-core
  # search (OSM PBF, folding names, packing its blocks) and routing
  libosmium2-dev libutf8proc-dev liblz4-dev libroutino-dev routino
  xplanet-images
  gpsd gpsd-clients tilemaker python3 python3-gpxpy
  xvfb xdotool x11-apps imagemagick
  clang libclang-rt-14-dev ccache
  # bench/: callgrind, and the GTK viewer bench/pan_cpu.sh compares against
  valgrind foxtrotgps
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
