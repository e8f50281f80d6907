#!/bin/sh
# Takes a picture of every state and page of the desktop client and of its tray menu, in
# English, German and Arabic, and prints the folder that holds them.
#
# Usage: tools/agent-screenshots.sh [fake|real] [output folder]
#   fake (default): the client runs against a scripted fake service (tools/corvane-fake-service)
#                   that puts it into each state.
#   real:           the client against corvane-service signed in to the reference account
#                   service (demo@corvane.test) and forwarding to the reference resolver;
#                   the account service's download folder offers an update over HTTPS.
# The client runs under Xvfb on the real X11 platform plugin; the pictures are taken with
# Qt's own grab. Needs xvfb (scripts/install-deps.sh test).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-fake}
build=${CORVANE_BUILD_DIR:-$here/build-tests}
out=${2:-$build/agent-screenshots}

case "$mode" in
fake|real) ;;
*)
    echo "usage: $0 [fake|real] [output folder]" >&2
    exit 2 ;;
esac

command -v Xvfb >/dev/null || "$here/scripts/install-deps.sh" test
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
targets=corvane-agent-screenshots
[ "$mode" = real ] && targets="$targets corvane-service"
cmake --build "$build" --target $targets >/dev/null

scratch=$(mktemp -d)
xvfb=
peers=
cleanup() {
    for pid in $peers $xvfb; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in $peers; do
        wait "$pid" 2>/dev/null || true
    done
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

# Waits up to 30 s for a text in a file.
wait_for() {
    i=0
    while ! grep -q "$2" "$1" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt 300 ]; then
            echo "$3 did not start:" >&2
            cat "$1" >&2
            exit 1
        fi
        sleep 0.1
    done
}

service_options=
if [ "$mode" = real ]; then
    peer=$scratch/peers
    mkdir -p "$peer/cabinet" "$peer/resolver" "$peer/static" "$peer/config" "$peer/state" "$peer/runtime"
    # A newer version and its package in the account service's download folder.
    printf '3.2.1.4\nA faster start, and the schedule shown for every profile.\n' \
        > "$peer/static/en-generic-agent.version"
    head -c 65536 /dev/zero > "$peer/static/en-generic-agent.deb"
    python3 "$here/tools/corvane-reference-cabinet/corvane-reference-cabinet" --listen 127.0.0.1:0 \
        --state "$peer/cabinet" --static "$peer/static" > "$peer/cabinet/output" 2>&1 &
    peers="$peers $!"
    wait_for "$peer/cabinet/output" "sign in as" "The reference account service"
    site=$(sed -n 's/.*serving \(https:[^ ]*\).*/\1/p' "$peer/cabinet/output" | head -n 1)
    python3 "$here/tools/corvane-reference-resolver/corvane-reference-resolver" --listen 127.0.0.1:0 \
        --data "$peer/cabinet/cabinet.json" --state "$peer/resolver" > "$peer/resolver/output" 2>&1 &
    peers="$peers $!"
    wait_for "$peer/resolver/status.json" '"udp"' "The reference resolver"
    resolver_port=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["udp"].rsplit(":", 1)[1])' \
                    "$peer/resolver/status.json")
    proxy_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    printf '[global]\nwww=%s\nwww-ca-file=%s\ntarnwickproxy-addr=127.0.0.1\ntarnwickproxy-port=%s\nlocalproxy-addr=127.0.0.1\nlocalproxy-port=%s\n' \
        "$site" "$peer/cabinet/ca.pem" "$resolver_port" "$proxy_port" > "$peer/service.ini"
    printf '[Adapters]\ndemo0\\FriendlyName=Demo LAN\ndemo0\\Type=ethernet\ndemo0\\Up=true\n[Tcpip]\nParameters\\Interfaces\\demo0\\NameServer=192.0.2.53\n' \
        > "$peer/adapters.ini"
    env XDG_CONFIG_HOME="$peer/config" STATE_DIRECTORY="$peer/state" RUNTIME_DIRECTORY="$peer/runtime" \
        CORVANE_SERVICE_INI="$peer/service.ini" CORVANE_DNS_BACKEND=ini CORVANE_DNS_BACKEND_INI="$peer/adapters.ini" \
        CORVANE_BLOCKPAGE_PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') \
        CORVANE_LOG_STDERR=1 ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
        "$build/service/core/corvane-service" -e -login demo@corvane.test -pass demo > "$peer/service.log" 2>&1 &
    peers="$peers $!"
    wait_for "$peer/service.log" "Corvane Agent started" "corvane-service"
    service_options="--service $peer/runtime/en-genericipc --password demo"
fi

rm -rf "$out"
mkdir -p "$out"
status=0
for language in en-US de ar; do
    run="$scratch/$language"
    mkdir -p "$run/config" "$run/runtime" "$run/system-config"
    chmod 0700 "$run/runtime"
    if [ "$mode" = real ]; then
        mkdir -p "$run/config/Corvane"
        printf '[General]\nupdate-location=%s/download\nupdate-ca-file=%s\n' "$site" "$peer/cabinet/ca.pem" \
            > "$run/config/Corvane/Agent.conf"
    fi
    env DISPLAY=":$(cat "$scratch/display")" QT_QPA_PLATFORM=xcb \
        XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" \
        CORVANE_SYSTEM_CONFIG_DIR="$run/system-config" \
        ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" \
        "$build/tools/agent-screenshots/corvane-agent-screenshots" --output "$out" --language "$language" \
        $service_options >/dev/null || status=1
done
echo "$out"
exit $status
