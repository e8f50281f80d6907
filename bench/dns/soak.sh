#!/bin/bash
# Soak run of the DNS proxy: corvane-proxy-runner (with a token) in front of Knot, under
# 5000 q/s over UDP and 500 q/s over TCP on 50 connections from dnsperf for DURATION
# seconds. Every 10 s it samples the runner's resident memory and open descriptors; at the
# end it prints the loss of each protocol, the range of the descriptors and the slope of
# the resident memory (least squares, in KiB per hour).
# Targets: no loss, flat memory, a constant descriptor count.
#
# Needs dnsperf, knotd and taskset (packaging/debian-packages.txt, purpose "bench").
# Usage: bench/dns/soak.sh [path/to/corvane-proxy-runner]
# Environment: DURATION (seconds, default 600), UDP_RATE (5000), TCP_RATE (500),
#   TCP_CLIENTS (50), LOADGEN_CPU (1), SERVER_CPU (0), BASE_PORT (25400).
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runner=${1:-$root/build-rel/tools/corvane-proxy-runner/corvane-proxy-runner}
DURATION=${DURATION:-600}
UDP_RATE=${UDP_RATE:-5000}
TCP_RATE=${TCP_RATE:-500}
TCP_CLIENTS=${TCP_CLIENTS:-50}
LOADGEN_CPU=${LOADGEN_CPU:-1}
SERVER_CPU=${SERVER_CPU:-0}
BASE_PORT=${BASE_PORT:-25400}

for tool in dnsperf knotd taskset awk; do
    command -v "$tool" >/dev/null 2>&1 || { echo "soak.sh: missing $tool" >&2; exit 2; }
done
[ -x "$runner" ] || { echo "soak.sh: no runner at $runner" >&2; exit 2; }

work=$(mktemp -d /tmp/corvane-soak.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    sleep 0.3
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

port_knot=$BASE_PORT
port_proxy=$((BASE_PORT + 1))
port_http=$((BASE_PORT + 2))
. "$here/knot-zone.sh"
write_knot_setup "$work" "$port_knot"
server:
    listen: 127.0.0.1@$port_knot
    rundir: "$work"
    udp-workers: 1
    tcp-workers: 1
    background-workers: 1
log:
  - target: stderr
    any: error
database:
    storage: "$work/knotdb"
template:
  - id: default
    storage: "$work"
    semantic-checks: off
zone:
  - domain: bench.test
    file: "$work/bench.test.zone"
CONF

taskset -c "$LOADGEN_CPU" knotd -c "$work/knot.conf" > "$work/knot.log" 2>&1 &
pids+=($!)
taskset -c "$SERVER_CPU" "$runner" --listen "127.0.0.1:$port_proxy" --upstream "127.0.0.1:$port_knot" \
    --token 305419896 --http-port "$port_http" > "$work/runner.log" 2>&1 &
runner_pid=$!
pids+=($runner_pid)
for _ in $(seq 1 50); do
    [ -n "$(dig +short +tries=1 +timeout=1 @127.0.0.1 -p "$port_proxy" h1.bench.test A 2>/dev/null)" ] && break
    sleep 0.2
done

sample() { # seconds -> "seconds rss_kib descriptors"
    local rss fds
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$runner_pid/status" 2>/dev/null)
    fds=$(ls "/proc/$runner_pid/fd" 2>/dev/null | wc -l)
    echo "$1 ${rss:-0} $fds"
}

echo "soak: ${DURATION} s, UDP $UDP_RATE q/s, TCP $TCP_RATE q/s on $TCP_CLIENTS connections, runner on CPU $SERVER_CPU"
taskset -c "$LOADGEN_CPU" dnsperf -s 127.0.0.1 -p "$port_proxy" -m udp -d "$work/queries" -l "$DURATION" \
    -Q "$UDP_RATE" -c 4 -q 2000 > "$work/udp.out" 2>&1 &
udp_pid=$!
pids+=($udp_pid)
taskset -c "$LOADGEN_CPU" dnsperf -s 127.0.0.1 -p "$port_proxy" -m tcp -d "$work/queries" -l "$DURATION" \
    -Q "$TCP_RATE" -c "$TCP_CLIENTS" -q 500 > "$work/tcp.out" 2>&1 &
tcp_pid=$!
pids+=($tcp_pid)

printf "%8s %10s %6s\n" seconds "RSS KiB" fds
start=$(date +%s)
: > "$work/samples"
while kill -0 "$udp_pid" 2>/dev/null || kill -0 "$tcp_pid" 2>/dev/null; do
    now=$(( $(date +%s) - start ))
    sample "$now" | tee -a "$work/samples" | awk '{ printf "%8s %10s %6s\n", $1, $2, $3 }'
    sleep 10
done
wait "$udp_pid" "$tcp_pid" 2>/dev/null

loss() { # dnsperf output -> "sent lost loss%"
    awk '/Queries sent:/ { s = $3 } /Queries lost:/ { l = $3 }
         END { printf "%d sent, %d lost (%.4f%%)", s, l, (s > 0 ? 100 * l / s : 100) }' "$1"
}
echo
echo "UDP: $(loss "$work/udp.out")"
echo "TCP: $(loss "$work/tcp.out")"
# The slope over the samples after the first minute and over the second half alone: memory
# that grows at start-up (allocator pools, the first bursts) and then stays shows a slope
# over the whole run but none over the second half.
awk -v half=$((DURATION / 2)) '
     function slope(n, sx, sy, sxx, sxy) { return (n > 1 && n * sxx - sx * sx != 0) ? (n * sxy - sx * sy) / (n * sxx - sx * sx) * 3600 : 0 }
     { if ($1 >= 60) { n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2 }
       if ($1 >= half) { m++; tx += $1; ty += $2; txx += $1 * $1; txy += $1 * $2 }
       last = $2; if (min == "" || $2 < min) min = $2; if ($2 > max) max = $2
       if (fmin == "" || $3 < fmin) fmin = $3; if ($3 > fmax) fmax = $3 }
     END {
        printf "RSS: %d KiB at the end, between %d and %d KiB; slope %+.1f KiB/hour after the first minute, %+.1f KiB/hour over the second half\n", last, min, max, slope(n, sx, sy, sxx, sxy), slope(m, tx, ty, txx, txy)
        printf "descriptors: between %d and %d (the upstream UDP sockets of the queries in flight come and go)\n", fmin, fmax
     }' "$work/samples"
