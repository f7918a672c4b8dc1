#!/usr/bin/env bash
# Sets up, builds and runs the tests.
#   scripts/test.sh         the quick run: every test in a normal build, then
#                           again with AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/test.sh --all   also the threads' tests under ThreadSanitizer, each
#                           fuzz target for 10 s from a fixed seed (a finding
#                           can be repeated) and 6 s from a fresh one (new
#                           paths every run), and the whole suite built for
#                           armhf (the handhelds) and s390x (big-endian) under qemu
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
all=no
case ${1:-} in
  --all) all=yes ;;
  "") ;;
  *) echo "usage: scripts/test.sh [--all]" >&2; exit 2 ;;
esac
"$root/scripts/setup.sh"

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$root/scripts/build.sh" "$root/build-asan" -DTESSEL_SANITIZE=ON -DTESSEL_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && ctest --output-on-failure -j"$jobs")

[ "$all" = yes ] || exit 0

# The threads (tile loader, vector drawing, gpsd feed, track reader, the loop's
# wake-ups, the search and route workers) under ThreadSanitizer.
cmake -S "$root" -B "$root/build-tsan" -DTESSEL_WERROR=ON -DTESSEL_TSAN=ON -DTESSEL_BENCH=OFF >/dev/null
cmake --build "$root/build-tsan" -j"$jobs" --target tessel_tests
(cd "$root/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$jobs" -R '^(Pipeline|TileCache|TileDecoder|GpsFeedTest|LiveProgram|TracksTest|VectorArchive|LoopWaitTest|WorkQueueTest|SearchWorker|RouteWorker)\.')

# Every reader of outside bytes under libFuzzer for a short while (the
# corpora above were replayed as tests already): each target 10 s from a
# fixed seed and 6 s from a fresh one, about five and a half minutes for
# twenty targets, besides the stage's build (ccache'd).
FUZZ_SEED=1 FUZZ_FRESH=6 "$root/scripts/fuzz.sh" 10

# Other machines: ARM and a big-endian one, emulated.
"$root/scripts/cross.sh" armhf
"$root/scripts/cross.sh" s390x
