#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test;
# a whole run (no arguments) then builds the Debian packages and checks them: contents,
# lintian, the maintainer scripts in a throwaway root, and a booted container where this
# machine can run one. CORVANE_SKIP_PACKAGES=1 leaves the packages out.
# Usage: scripts/test.sh [ctest arguments...]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_TEST_BUILD_DIR:-$here/build-tests}
"$here/scripts/install-deps.sh" build test
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"
# Every leak fails the run, except what Qt and the system libraries keep until exit
# (tests/lsan.supp names only those libraries).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
selection=$#
(cd "$build" && ctest --output-on-failure -j "$(nproc)" "$@")
if [ "$selection" -eq 0 ] && [ "${CORVANE_SKIP_PACKAGES:-0}" != 1 ]; then
    packages=${CORVANE_PACKAGE_DIR:-$here/build-packages}
    CORVANE_PACKAGE_DIR=$packages "$here/scripts/package.sh"
    "$here/tests/packaging/check-packages.sh" "$packages"
    "$here/tests/packaging/boot-check.sh" "$packages"
fi
