#!/bin/sh
# Builds everything and runs the service in the foreground, signed in to the demo account
# of the reference account service, forwarding to the reference filtering resolver; both
# stand-ins run on loopback in the same throwaway folder. The local proxy listens on an
# unprivileged loopback port and the adapters are those of an ini file (nothing of the
# machine's DNS is touched). Ctrl-C stops everything this script started.
# Usage: scripts/run.sh [more service options, e.g. -prof Kids]
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_BUILD_DIR:-$here/build}
# "run": what the stand-ins need (openssl for the account service's certificates) and what
# the printed instructions use (dig, curl).
"$here/scripts/install-deps.sh" build run
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"

scratch=$(mktemp -d /tmp/corvane-run.XXXXXX)
mkdir -p "$scratch/config" "$scratch/system-config" "$scratch/state" "$scratch/runtime" \
         "$scratch/cabinet" "$scratch/resolver"
cabinet_pid=
resolver_pid=
stop_peers() {
    for pid in $resolver_pid $cabinet_pid; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in $resolver_pid $cabinet_pid; do
        wait "$pid" 2>/dev/null || true
    done
    resolver_pid=
    cabinet_pid=
}
trap stop_peers EXIT
trap 'stop_peers; exit 130' TERM

# A loopback port free for both UDP and TCP.
free_port() {
    python3 -c 'import socket
for _ in range(100):
    t = socket.socket(); t.bind(("127.0.0.1", 0)); port = t.getsockname()[1]
    u = socket.socket(type=socket.SOCK_DGRAM)
    try:
        u.bind(("127.0.0.1", port)); print(port); break
    except OSError:
        pass
    finally:
        u.close(); t.close()'
}

# Waits up to 20 s for a text in a file.
wait_for() {
    i=0
    while ! grep -q "$2" "$1" 2>/dev/null; do
        i=$((i + 1))
        if [ $i -gt 200 ]; then
            echo "$3 did not start:" >&2
            cat "$1" >&2
            exit 1
        fi
        sleep 0.1
    done
}

python3 "$here/tools/corvane-reference-cabinet/corvane-reference-cabinet" --listen 127.0.0.1:0 \
        --state "$scratch/cabinet" --log "$scratch/cabinet/requests.log" > "$scratch/cabinet/output" 2>&1 &
cabinet_pid=$!
wait_for "$scratch/cabinet/output" "sign in as" "The reference account service"
site=$(sed -n 's/.*serving \(https:[^ ]*\).*/\1/p' "$scratch/cabinet/output" | head -n 1)
ca=$scratch/cabinet/ca.pem

python3 "$here/tools/corvane-reference-resolver/corvane-reference-resolver" --listen 127.0.0.1:0 \
        --data "$scratch/cabinet/cabinet.json" --state "$scratch/resolver" \
        --log "$scratch/resolver/queries.log" > "$scratch/resolver/output" 2>&1 &
resolver_pid=$!
wait_for "$scratch/resolver/status.json" '"udp"' "The reference resolver"
resolver_port=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["udp"].rsplit(":", 1)[1])' \
                "$scratch/resolver/status.json")

proxy_port=$(free_port)
blockpage_port=$(free_port)
cat > "$scratch/service.ini" <<EOF
[global]
www=$site
www-ca-file=$ca
tarnwickproxy-addr=127.0.0.1
tarnwickproxy-port=$resolver_port
localproxy-addr=127.0.0.1
localproxy-port=$proxy_port
EOF
# One demonstration adapter whose own DNS server the service replaces while it filters.
cat > "$scratch/adapters.ini" <<'EOF'
[Adapters]
demo0\FriendlyName=Demo LAN
demo0\Type=ethernet
demo0\Up=true
[Tcpip]
Parameters\Interfaces\demo0\NameServer=192.0.2.53
EOF

export XDG_CONFIG_HOME="$scratch/config"
export CORVANE_SYSTEM_CONFIG_DIR="$scratch/system-config"
export STATE_DIRECTORY="$scratch/state"
export RUNTIME_DIRECTORY="$scratch/runtime"
export CORVANE_SERVICE_INI="$scratch/service.ini"
export CORVANE_DNS_BACKEND=ini
export CORVANE_DNS_BACKEND_INI="$scratch/adapters.ini"
export CORVANE_BLOCKPAGE_PORT="$blockpage_port"
export CORVANE_LOG_STDERR=1

socket=$scratch/runtime/en-genericipc
# What to try while it runs: the one place to add more.
print_instructions() {
    cat <<EOF

Corvane service running in $scratch, signed in as demo@corvane.test (password demo).
  account site  $site (CA $ca)
  resolver      127.0.0.1:$resolver_port    local proxy 127.0.0.1:$proxy_port    block page 127.0.0.1:$blockpage_port

Try, in another terminal:
  dig @127.0.0.1 -p $proxy_port news.example +short          # allowed: 192.0.2.1
  dig @127.0.0.1 -p $proxy_port blocked.example +short       # on the black list: 198.51.100.1, the block address
  dig @127.0.0.1 -p $proxy_port malware.example +short       # a blocked category: 198.51.100.1
  dig @127.0.0.1 -p $proxy_port probe.corvane.test TXT +short  # the profile and token the resolver sees
  dig @127.0.0.1 -p $proxy_port use-application-dns.net      # NXDOMAIN: browsers keep the system's DNS
  curl -si 'http://127.0.0.1:$blockpage_port/?blockpage=blockpage.corvane.test&hostname=blocked.example&url=blocked.example/' | head -n 4
  CORVANE_IPC_SOCKET=$socket $build/cli/corvanectl status   # the service's state; "unlock" (password demo) before changes
  CORVANE_IPC_SOCKET=$socket $build/agent/corvane-agent     # the tray application

Watch the state:
  tail -f $scratch/resolver/queries.log         # every query with its verdict
  cat $scratch/adapters.ini                     # the demo adapter points at the proxy while filtering
  cat $scratch/config/Corvane/Service.conf      # the service's settings

Press Ctrl-C to stop everything.
EOF
}

# Once the service filters (the resolver sees the demo account's profile through the
# proxy), show an allowed and a blocked name and the state as corvanectl reports it.
show_filtering() {
    i=0
    until dig @127.0.0.1 -p "$proxy_port" probe.corvane.test TXT +short +time=1 +tries=1 2>/dev/null | grep -q profile=; do
        i=$((i + 1))
        if [ $i -gt 60 ]; then
            echo "The service does not filter yet; see its log above." >&2
            print_instructions
            return
        fi
        sleep 0.5
    done
    echo
    echo "Filtering through the local proxy 127.0.0.1:$proxy_port:"
    for name in news.example blocked.example; do
        printf '  %-16s -> %s\n' "$name" "$(dig @127.0.0.1 -p "$proxy_port" "$name" A +short | tr '\n' ' ')"
    done
    echo "  (198.51.100.1 is the block address: blocked.example is on the demo profile's black list)"
    echo
    CORVANE_IPC_SOCKET=$socket "$build/cli/corvanectl" status || true
    print_instructions
}
show_filtering &

status=0
# Ctrl-C reaches the whole process group: the service and the stand-ins stop on it, and the
# script goes on to make sure nothing it started is left.
trap : INT
"$build/service/core/corvane-service" -e -login demo@corvane.test -pass demo -f "$@" || status=$?
stop_peers
echo "Settings the service wrote: $scratch/config/Corvane/Service.conf"
exit $status
