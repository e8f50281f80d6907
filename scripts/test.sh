#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# Usage: scripts/test.sh [ctest arguments...]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_TEST_BUILD_DIR:-$here/build-tests}
"$here/scripts/install-deps.sh" build test
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"
# Leaks of the Qt libraries themselves at exit are not ours to fix; real use-after-free,
# overflows and undefined behaviour still fail the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
