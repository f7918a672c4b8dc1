#!/usr/bin/env bash
# Builds the library, the viewer, tessel-pack and the tests for another
# machine and runs the tests there under emulation.
# Usage: scripts/cross.sh ARCH      ARCH: armhf (the handhelds) or s390x (big-endian)
# The foreign libraries are unpacked into build-ARCH/sysroot (kept for the
# next run), never installed into the system; the packages come from the
# same Debian release and mirror as the machine's own apt sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-}
case $arch in
  armhf) triple=arm-linux-gnueabihf processor=arm emulator=qemu-arm ;;
  s390x) triple=s390x-linux-gnu processor=s390x emulator=qemu-s390x ;;
  *) echo "usage: scripts/cross.sh armhf|s390x" >&2; exit 2 ;;
esac
build=$root/build-$arch
sysroot=$build/sysroot

"$root/scripts/setup.sh"
needed=(g++-$triple qemu-user mmdebstrap)
missing=()
for p in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "cross: installing ${missing[*]}" >&2
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The first Debian source of the system: "URIs:"/"Suites:" of a .sources
# file, or a "deb URI SUITE" line.
mirror_and_suite() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '/^URIs:/{u=$2} /^Suites:/{s=$2}
         u && s && u ~ /debian/ && u !~ /security/ {print u, s; exit}' "$f" && return 0
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" && $2 !~ /security/ {i = ($2 ~ /^\[/) ? 3 : 2; while ($i ~ /\]$/ || $i ~ /^\[/) i++; print $i, $(i+1); exit}' "$f"
  done | head -n 1
}

packages=libc6-dev,libstdc++-12-dev,libsdl1.2-dev,libsdl-image1.2-dev,libsdl-ttf2.0-dev,libgtest-dev
packages+=,libspng-dev,libjpeg62-turbo-dev,libwebp-dev,libpng-dev,zlib1g-dev,libsqlite3-dev,libexpat1-dev
packages+=,libprotozero-dev,libcairo2-dev,nlohmann-json3-dev,libgps-dev,libcurl4-openssl-dev
packages+=,libosmium2-dev,libutf8proc-dev,liblz4-dev,libroutino-dev
# The directory is made again when the list of packages changed.
if [ "$(cat "$sysroot/.complete" 2>/dev/null)" != "$packages" ]; then
  read -r uri suite < <(mirror_and_suite)
  [ -n "${uri:-}" ] && [ -n "${suite:-}" ] || { echo "cross: no Debian source found in /etc/apt" >&2; exit 1; }
  echo "cross: unpacking $arch libraries from $uri $suite into $sysroot" >&2
  rm -rf "$sysroot"
  mkdir -p "$build"
  mmdebstrap --quiet --variant=extract --architectures="$arch" --include="$packages" \
    "$suite" "$sysroot" "deb $uri $suite main"
  echo "$packages" > "$sysroot/.complete"
fi

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/cross.cmake" \
  -DTESSEL_CROSS_TRIPLE="$triple" -DTESSEL_CROSS_PROCESSOR="$processor" -DTESSEL_CROSS_SYSROOT="$sysroot" \
  -DTESSEL_CROSS_EMULATOR="$emulator" -DTESSEL_BENCH=OFF -DTESSEL_WERROR=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && ctest --output-on-failure -j"$(nproc)")
