#!/usr/bin/env bash
# Configures and builds into DIR (default build/) with extra CMake options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
cmake -S "$root" -B "$dir" -DTESSEL_WERROR=ON "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
