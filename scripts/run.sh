#!/bin/sh
# Builds the service and runs it in the foreground in a throwaway settings/state/runtime
# directory, with its log on the terminal, until Ctrl-C.
# Usage: scripts/run.sh [service options, e.g. -login NAME -pass PASSWORD]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$here/build}
"$here/scripts/install-deps.sh" build
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)" --target corvane-service

scratch=$(mktemp -d /tmp/corvane-run.XXXXXX)
mkdir -p "$scratch/config" "$scratch/system-config" "$scratch/state" "$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/config"
export CORVANE_SYSTEM_CONFIG_DIR="$scratch/system-config"
export STATE_DIRECTORY="$scratch/state"
export RUNTIME_DIRECTORY="$scratch/runtime"
export CORVANE_SERVICE_INI="$scratch/service.ini"
export CORVANE_LOG_STDERR=1
# Port 53 needs root; an ordinary user's run listens on 5353 instead.
if [ "$(id -u)" -ne 0 ]; then
    printf '[global]\nlocalproxy-port=5353\n' > "$CORVANE_SERVICE_INI"
fi

echo "Corvane service running in $scratch (settings: $scratch/config/Corvane/Service.conf)."
echo "Press Ctrl-C to stop."
status=0
# Ctrl-C reaches the whole process group: the service stops on it, and the script goes on
# to show what the service wrote.
trap : INT
"$build/service/core/corvane-service" -e "$@" || status=$?
echo "Settings the service wrote:"
cat "$scratch/config/Corvane/Service.conf" 2>/dev/null || true
exit $status
