#!/bin/sh
# Takes a picture of every state and page of the desktop client and of its tray menu, in
# English, German and Arabic, and prints the folder that holds them.
#
# Usage: tools/agent-screenshots.sh [fake|real] [output folder]
#   fake (default): the client runs against a scripted fake service (tools/corvane-fake-service)
#                   that puts it into each state.
#   real:           the client against corvane-service with the reference peers (not yet
#                   available: the script says so and stops).
# The client runs under Xvfb on the real X11 platform plugin; the pictures are taken with
# Qt's own grab. Needs xvfb (scripts/install-deps.sh test).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-fake}
build=${CORVANE_BUILD_DIR:-$here/build-tests}
out=${2:-$build/agent-screenshots}

case "$mode" in
fake) ;;
real)
    echo "real-service mode needs corvane-service with the reference peers, which cannot run here yet" >&2
    exit 2 ;;
*)
    echo "usage: $0 [fake|real] [output folder]" >&2
    exit 2 ;;
esac

command -v Xvfb >/dev/null || "$here/scripts/install-deps.sh" test
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" --target corvane-agent-screenshots >/dev/null

scratch=$(mktemp -d)
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display and writes its number to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out"
status=0
for language in en-US de ar; do
    run="$scratch/$language"
    mkdir -p "$run/config" "$run/runtime" "$run/system-config"
    chmod 0700 "$run/runtime"
    env DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb \
        XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" \
        CORVANE_SYSTEM_CONFIG_DIR="$run/system-config" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
        "$build/tools/agent-screenshots/corvane-agent-screenshots" --output "$out" --language "$language" \
        >/dev/null || status=1
done
echo "$out"
exit $status
