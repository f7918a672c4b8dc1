#!/usr/bin/env bash
# Drives the whole program with random input (default 100 000 events) in
# the AddressSanitizer + UndefinedBehaviorSanitizer build, then checks that
# every settings file and package description reads back whole. The test
# command runs the same test with 20 000 events.
# Usage: scripts/soak.sh [EVENTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build-asan" -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=dummy
TESSEL_SOAK_EVENTS=${1:-100000} "$root/build-asan/tests/tessel_tests" --gtest_filter='Soak.*'
