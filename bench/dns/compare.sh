#!/bin/bash
# Compares DNS forwarding on loopback with dnsperf: a Knot DNS authoritative server queried
# (a) directly, (b) through dnsdist (no packet cache), (c) through dnsmasq (cache-size=0)
# and (d) through corvane-proxy-runner with a token set; over UDP and TCP. For each it
# prints the saturated queries/s, and loss, average and p99 latency at fixed rates, then
# every ratio to (a), (b) and (c).
#
# Installs nothing: it needs dnsperf, knotd, dnsdist, dnsmasq and taskset (Debian packages
# dnsperf, knot, dnsdist, dnsmasq-base, util-linux; packaging/debian-packages.txt, purpose
# "bench") and a corvane-proxy-runner, preferably from a Release build.
#
# Usage: bench/dns/compare.sh [path/to/corvane-proxy-runner]
# Environment: DURATION (seconds per run, default 8), RATES (default "5000 20000"),
#   PROTOCOLS (default "udp tcp"), LOADGEN_CPU (default 1), SERVER_CPU (forwarders, default 0),
#   UPSTREAM_CPU (knotd, default SERVER_CPU),
#   BASE_PORT (default 25300), TARGETS (default "direct dnsdist dnsmasq corvane").
# Only loopback addresses and unprivileged ports are used; every process it starts is
# stopped on exit. The whole run is bounded: each dnsperf run is killed after DURATION+15 s.
set -u

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
runner=${1:-${CORVANE_PROXY_RUNNER:-}}
if [ -z "$runner" ]; then
    for candidate in "$root"/build-*rel*/tools/corvane-proxy-runner/corvane-proxy-runner \
                     "$root"/build*/tools/corvane-proxy-runner/corvane-proxy-runner; do
        if [ -x "$candidate" ]; then runner=$candidate; break; fi
    done
fi

DURATION=${DURATION:-8}
RATES=${RATES-"5000 20000"}
PROTOCOLS=${PROTOCOLS:-"udp tcp"}
LOADGEN_CPU=${LOADGEN_CPU:-1}
SERVER_CPU=${SERVER_CPU:-0}
UPSTREAM_CPU=${UPSTREAM_CPU:-$SERVER_CPU}
BASE_PORT=${BASE_PORT:-25300}
TARGETS=${TARGETS:-"direct dnsdist dnsmasq corvane"}
TOKEN=305419896

missing=""
for tool in dnsperf knotd dnsdist dnsmasq taskset awk; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -x "$runner" ] || missing="$missing corvane-proxy-runner"
if [ -n "$missing" ]; then
    echo "compare.sh: missing:$missing (install the 'bench' packages of packaging/debian-packages.txt; build tools/corvane-proxy-runner)" >&2
    exit 2
fi

work=$(mktemp -d /tmp/corvane-dnsbench.XXXXXX)
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
port_dnsdist=$((BASE_PORT + 1))
port_dnsmasq=$((BASE_PORT + 2))
port_corvane=$((BASE_PORT + 3))
port_http=$((BASE_PORT + 4))
port_console=$((BASE_PORT + 5))

# The zone and the queries: 1000 names that all exist.
{
    echo '$ORIGIN bench.test.'
    echo '$TTL 300'
    echo '@ SOA ns hostmaster 1 3600 900 604800 300'
    echo '@ NS ns'
    echo 'ns A 127.0.0.1'
    for i in $(seq 0 999); do echo "h$i A 10.0.$((i / 256)).$((i % 256))"; done
} > "$work/bench.test.zone"
for i in $(seq 0 999); do echo "h$i.bench.test A"; done > "$work/queries"

cat > "$work/knot.conf" <<CONF
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

cat > "$work/dnsdist.conf" <<CONF
setLocal("127.0.0.1:$port_dnsdist")
newServer({address="127.0.0.1:$port_knot", checkInterval=3600, healthCheckMode="up"})
controlSocket("127.0.0.1:$port_console")
setSecurityPollSuffix("")
CONF

start() { # cpu, name, command...
    local cpu=$1 name=$2; shift 2
    taskset -c "$cpu" "$@" > "$work/$name.log" 2>&1 &
    pids+=($!)
}

wait_for() { # port: until a UDP query is answered
    for _ in $(seq 1 50); do
        if dig +short +tries=1 +timeout=1 @127.0.0.1 -p "$1" h1.bench.test A >/dev/null 2>&1 \
            && [ -n "$(dig +short +tries=1 +timeout=1 @127.0.0.1 -p "$1" h1.bench.test A 2>/dev/null)" ]; then
            return 0
        fi
        sleep 0.2
    done
    return 1
}

start "$UPSTREAM_CPU" knot knotd -c "$work/knot.conf"
wait_for "$port_knot" || { echo "knotd did not answer:"; cat "$work/knot.log"; exit 1; }
start "$SERVER_CPU" dnsdist dnsdist --supervised --disable-syslog -C "$work/dnsdist.conf"
start "$SERVER_CPU" dnsmasq dnsmasq -k --no-resolv --no-hosts --cache-size=0 --listen-address=127.0.0.1 --bind-interfaces \
    --port="$port_dnsmasq" --server="127.0.0.1#$port_knot" --pid-file="$work/dnsmasq.pid" --user=root
start "$SERVER_CPU" corvane "$runner" --listen "127.0.0.1:$port_corvane" --upstream "127.0.0.1:$port_knot" --token "$TOKEN" \
    --http-port "$port_http"
for target in dnsdist dnsmasq corvane; do
    port_var=port_$target
    wait_for "${!port_var}" || { echo "$target did not answer:"; cat "$work/$target.log"; exit 1; }
done

port_of() {
    case $1 in
        direct) echo "$port_knot" ;;
        dnsdist) echo "$port_dnsdist" ;;
        dnsmasq) echo "$port_dnsmasq" ;;
        corvane) echo "$port_corvane" ;;
    esac
}

# dnsperf run: target protocol rate(0 = saturate) -> "qps loss% avg_ms p99_ms"
measure() {
    local port mode rate out args
    port=$(port_of "$1"); mode=$2; rate=$3
    out="$work/run-$1-$2-$3"
    args=(-s 127.0.0.1 -p "$port" -m "$mode" -d "$work/queries" -l "$DURATION" -t 2 -c 4 -q 200)
    [ "$rate" -gt 0 ] && args+=(-Q "$rate" -v)
    timeout $((DURATION + 15)) taskset -c "$LOADGEN_CPU" dnsperf "${args[@]}" > "$out" 2>&1
    awk -v rate="$rate" '
        /^> / { lat[n++] = $NF }
        /Queries sent:/ { sent = $3 }
        /Queries lost:/ { lost = $3 }
        /Queries per second:/ { qps = $4 }
        /Average Latency/ { avg = $4 }
        /Response codes:/ { for (i = 3; i <= NF; i++) if ($i == "NOERROR") { ok = $(i + 2); gsub(/[()%,]/, "", ok) } }
        END {
            loss = sent > 0 ? 100 * lost / sent : 100
            p99 = "-"
            if (rate > 0 && n > 0) {
                # sort latencies (insertion into buckets of 1 us up to 100 ms)
                for (i = 0; i < n; i++) { b = int(lat[i] * 1e6); if (b > 100000) b = 100000; h[b]++ }
                want = 0.99 * n; c = 0
                for (b = 0; b <= 100000; b++) { c += h[b]; if (c >= want) { p99 = sprintf("%.3f", b / 1000); break } }
            }
            printf "%s %.2f %.3f %s %s\n", (qps == "" ? 0 : qps), loss, avg * 1000, p99, (ok == "" ? 0 : ok)
        }' "$out"
}

declare -A result
printf "DNS forwarding on loopback, %s s per run, dnsperf on CPU %s, forwarders on CPU %s, knotd on CPU %s, token %s for corvane\n" \
    "$DURATION" "$LOADGEN_CPU" "$SERVER_CPU" "$UPSTREAM_CPU" "$TOKEN"
printf "%-8s %-4s %12s %7s %7s | %-30s | %-30s\n" target mode "sat q/s" "loss" "NOERROR" \
    "@5000: loss%  avg ms  p99 ms" "@20000: loss%  avg ms  p99 ms"
for mode in $PROTOCOLS; do
    for target in $TARGETS; do
        read -r qps satloss _ _ ok <<< "$(measure "$target" "$mode" 0)"
        result[$target,$mode,sat]=$qps
        line=$(printf "%-8s %-4s %12.0f %6s%% %6s%%" "$target" "$mode" "$qps" "$satloss" "$ok")
        for rate in $RATES; do
            read -r _ loss avg p99 _ <<< "$(measure "$target" "$mode" "$rate")"
            result[$target,$mode,$rate,avg]=$avg
            result[$target,$mode,$rate,loss]=$loss
            line="$line | $(printf "%6s%% %7s %7s" "$loss" "$avg" "$p99")        "
        done
        echo "$line"
    done
done

echo
echo "Ratios of saturated queries/s (row / column):"
for mode in $PROTOCOLS; do
    for target in $TARGETS; do
        line=$(printf "%-8s %-4s" "$target" "$mode")
        for ref in direct dnsdist dnsmasq; do
            a=${result[$target,$mode,sat]:-0}; b=${result[$ref,$mode,sat]:-0}
            line="$line $(awk -v a="$a" -v b="$b" -v r="$ref" 'BEGIN { printf "%s %6.2fx  ", r, (b > 0 ? a / b : 0) }')"
        done
        echo "$line"
    done
done

echo
echo "Added average latency over direct (ms):"
for mode in $PROTOCOLS; do
    for target in $TARGETS; do
        [ "$target" = direct ] && continue
        line=$(printf "%-8s %-4s" "$target" "$mode")
        for rate in $RATES; do
            a=${result[$target,$mode,$rate,avg]:-0}; b=${result[direct,$mode,$rate,avg]:-0}
            line="$line $(awk -v a="$a" -v b="$b" -v r="$rate" 'BEGIN { printf "@%s %+.3f  ", r, a - b }')"
        done
        echo "$line"
    done
done
