#!/bin/bash
# Compares DNS forwarding on loopback with dnsperf: a Knot DNS authoritative server queried
# (a) directly, (b) through dnsdist (no packet cache), (c) through dnsmasq (cache-size=0),
# (d) through the minimal C relay of the reference benchmark with a fresh upstream socket
# per query (refrelay -m perquery, built here from REFRELAY_SOURCE), (e) through
# corvane-proxy-runner with a token set, and optionally (f) through an earlier build of the
# runner (BASELINE_RUNNER); over UDP and TCP. For each it prints the saturated queries/s,
# the forwarder's CPU time per query at saturation, and loss, average and p99 latency at
# fixed rates, then every ratio.
#
# With DELAY_MS set, the upstream is bench/dns/delayserver instead of Knot: every answer
# comes DELAY_MS late, so a rate of R q/s keeps R * DELAY_MS / 1000 queries in flight (the
# test that the forwarder does not collapse with many queries waiting). Only UDP then.
#
# Installs nothing: it needs dnsperf, knotd, dnsdist, dnsmasq, taskset and cc (Debian
# packages dnsperf, knot, dnsdist, dnsmasq-base, util-linux, gcc; packaging/debian-packages.txt,
# purpose "bench") and a corvane-proxy-runner, preferably from a Release build.
#
# Usage: bench/dns/compare.sh [path/to/corvane-proxy-runner]
# Environment: DURATION (seconds per run, default 8), RATES (default "5000 20000"),
#   PROTOCOLS (default "udp tcp"), LOADGEN_CPU (default 1), SERVER_CPU (forwarders, default 0),
#   UPSTREAM_CPU (knotd, default LOADGEN_CPU), BASE_PORT (default 25300),
#   TARGETS (default "direct dnsdist dnsmasq refrelay corvane", plus baseline when
#   BASELINE_RUNNER is set), REFRELAY_SOURCE (default ../shared/bench-reference/refrelay.c
#   beside the project), DELAY_MS (unset: Knot), REPEAT (runs per figure, median; default 1).
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
UPSTREAM_CPU=${UPSTREAM_CPU:-$LOADGEN_CPU}
BASE_PORT=${BASE_PORT:-25300}
BASELINE_RUNNER=${BASELINE_RUNNER:-}
default_targets="direct dnsdist dnsmasq refrelay corvane"
[ -n "$BASELINE_RUNNER" ] && default_targets="$default_targets baseline"
TARGETS=${TARGETS:-$default_targets}
REFRELAY_SOURCE=${REFRELAY_SOURCE:-$root/../shared/bench-reference/refrelay.c}
DELAY_MS=${DELAY_MS:-}
REPEAT=${REPEAT:-1}
OUTSTANDING=${OUTSTANDING:-200}
if [ -n "$DELAY_MS" ]; then
    PROTOCOLS=udp
    # dnsperf sends as fast as it may at first: allowed 20000 outstanding, its start-up burst
    # passes the proxy's 8192 queries in flight and is dropped there, which measures the
    # burst rather than the forwarder. 6000 covers 20000 q/s at 200 ms with room to spare.
    OUTSTANDING=${OUTSTANDING_DELAYED:-6000}
fi
TOKEN=305419896

missing=""
for tool in dnsperf knotd dnsdist dnsmasq taskset awk cc; do
    command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -x "$runner" ] || missing="$missing corvane-proxy-runner"
case " $TARGETS " in *" refrelay "*) [ -r "$REFRELAY_SOURCE" ] || missing="$missing $REFRELAY_SOURCE" ;; esac
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
port_refrelay=$((BASE_PORT + 6))
port_baseline=$((BASE_PORT + 7))
port_http_baseline=$((BASE_PORT + 8))

cc -O2 -o "$work/delayserver" "$here/delayserver.c" || exit 1
if [ -r "$REFRELAY_SOURCE" ]; then
    cc -O2 -o "$work/refrelay" "$REFRELAY_SOURCE" || exit 1
fi

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

declare -A pid_of
if [ -n "$DELAY_MS" ]; then
    start "$UPSTREAM_CPU" knot "$work/delayserver" -l "127.0.0.1:$port_knot" -D "$DELAY_MS"
else
    start "$UPSTREAM_CPU" knot knotd -c "$work/knot.conf"
fi
wait_for "$port_knot" || { echo "the upstream did not answer:"; cat "$work/knot.log"; exit 1; }
start "$SERVER_CPU" dnsdist dnsdist --supervised --disable-syslog -C "$work/dnsdist.conf"
pid_of[dnsdist]=${pids[-1]}
start "$SERVER_CPU" dnsmasq dnsmasq -k --no-resolv --no-hosts --cache-size=0 --listen-address=127.0.0.1 --bind-interfaces \
    --port="$port_dnsmasq" --server="127.0.0.1#$port_knot" --pid-file="$work/dnsmasq.pid" --user=root
pid_of[dnsmasq]=${pids[-1]}
start "$SERVER_CPU" corvane "$runner" --listen "127.0.0.1:$port_corvane" --upstream "127.0.0.1:$port_knot" --token "$TOKEN" \
    --http-port "$port_http"
pid_of[corvane]=${pids[-1]}
forwarders="dnsdist dnsmasq corvane"
if [ -x "$work/refrelay" ]; then
    start "$SERVER_CPU" refrelay "$work/refrelay" -l "127.0.0.1:$port_refrelay" -u "127.0.0.1:$port_knot" -m perquery \
        -a "$TOKEN" -d 86400
    pid_of[refrelay]=${pids[-1]}
    forwarders="$forwarders refrelay"
fi
if [ -n "$BASELINE_RUNNER" ]; then
    start "$SERVER_CPU" baseline "$BASELINE_RUNNER" --listen "127.0.0.1:$port_baseline" --upstream "127.0.0.1:$port_knot" \
        --token "$TOKEN" --http-port "$port_http_baseline"
    pid_of[baseline]=${pids[-1]}
    forwarders="$forwarders baseline"
fi
for target in $forwarders; do
    port_var=port_$target
    wait_for "${!port_var}" || { echo "$target did not answer:"; cat "$work/$target.log"; exit 1; }
done

port_of() {
    case $1 in
        direct) echo "$port_knot" ;;
        dnsdist) echo "$port_dnsdist" ;;
        dnsmasq) echo "$port_dnsmasq" ;;
        corvane) echo "$port_corvane" ;;
        refrelay) echo "$port_refrelay" ;;
        baseline) echo "$port_baseline" ;;
    esac
}

# CPU time (user + system) of a process so far, in clock ticks.
cpu_ticks() {
    [ -r "/proc/$1/stat" ] || { echo 0; return; }
    # The command name may hold blanks: the fields follow the last ")".
    sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
ticks_per_second=$(getconf CLK_TCK)

# median of the numbers given
median() {
    printf "%s\n" "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# dnsperf run: target protocol rate(0 = saturate) -> "qps loss% avg_ms p99_ms noerror% cpu_us"
measure() {
    local port mode rate out args pid before after
    port=$(port_of "$1"); mode=$2; rate=$3
    pid=${pid_of[$1]:-}
    before=$( [ -n "$pid" ] && cpu_ticks "$pid" || echo 0 )
    out="$work/run-$1-$2-$3"
    args=(-s 127.0.0.1 -p "$port" -m "$mode" -d "$work/queries" -l "$DURATION" -t 2 -c 4 -q "$OUTSTANDING")
    [ "$rate" -gt 0 ] && args+=(-Q "$rate" -v)
    timeout $((DURATION + 15)) taskset -c "$LOADGEN_CPU" dnsperf "${args[@]}" > "$out" 2>&1
    after=$( [ -n "$pid" ] && cpu_ticks "$pid" || echo 0 )
    awk -v rate="$rate" -v ticks=$((after - before)) -v hz="$ticks_per_second" -v duration="$DURATION" '
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
                # sort latencies (insertion into buckets of 10 us up to 2 s)
                for (i = 0; i < n; i++) { b = int(lat[i] * 1e5); if (b > 200000) b = 200000; h[b]++ }
                want = 0.99 * n; c = 0
                for (b = 0; b <= 200000; b++) { c += h[b]; if (c >= want) { p99 = sprintf("%.2f", b / 100); break } }
            }
            answered = (qps == "" ? 0 : qps) * duration
            cpu = (ticks > 0 && answered > 0) ? sprintf("%.2f", ticks / hz * 1e6 / answered) : "-"
            printf "%s %.2f %.3f %s %s %s\n", (qps == "" ? 0 : qps), loss, avg * 1000, p99, (ok == "" ? 0 : ok), cpu
        }' "$out"
}

declare -A result
upstream_name=knotd
[ -n "$DELAY_MS" ] && upstream_name="delayserver (+$DELAY_MS ms)"
printf "DNS forwarding on loopback, %s s per run, median of %s, dnsperf on CPU %s, forwarders on CPU %s, %s on CPU %s, token %s\n" \
    "$DURATION" "$REPEAT" "$LOADGEN_CPU" "$SERVER_CPU" "$upstream_name" "$UPSTREAM_CPU" "$TOKEN"

# Saturation: the targets take turns, round after round, so that a change of the machine's
# load during the run spreads over all of them instead of skewing one ratio.
declare -A qps_runs cpu_runs
# The reference relay speaks UDP only.
targets_for() { for t in $TARGETS; do [ "$1" = tcp ] && [ "$t" = refrelay ] && continue; echo "$t"; done; }

for mode in $PROTOCOLS; do
    for round in $(seq 1 "$REPEAT"); do
        for target in $(targets_for "$mode"); do
            read -r qps satloss _ _ ok cpu <<< "$(measure "$target" "$mode" 0)"
            qps_runs[$target,$mode]="${qps_runs[$target,$mode]:-} $qps"
            [ "$cpu" != "-" ] && cpu_runs[$target,$mode]="${cpu_runs[$target,$mode]:-} $cpu"
            result[$target,$mode,satloss]=$satloss
            result[$target,$mode,ok]=$ok
        done
    done
    for target in $(targets_for "$mode"); do
        # shellcheck disable=SC2086
        result[$target,$mode,sat]=$(median ${qps_runs[$target,$mode]})
        if [ -n "${cpu_runs[$target,$mode]:-}" ]; then
            # shellcheck disable=SC2086
            result[$target,$mode,cpu]=$(median ${cpu_runs[$target,$mode]})
        fi
    done
done

header=$(printf "%-8s %-4s %12s %9s %7s %7s" target mode "sat q/s" "CPU us/q" "loss" "NOERROR")
for rate in $RATES; do header="$header | $(printf "@%-6s loss%%  avg ms  p99 ms CPU us/q" "$rate")"; done
echo "$header"
for mode in $PROTOCOLS; do
    for target in $(targets_for "$mode"); do
        line=$(printf "%-8s %-4s %12.0f %9s %6s%% %6s%%" "$target" "$mode" "${result[$target,$mode,sat]}" \
            "${result[$target,$mode,cpu]:--}" "${result[$target,$mode,satloss]}" "${result[$target,$mode,ok]}")
        for rate in $RATES; do
            read -r _ loss avg p99 _ cpu <<< "$(measure "$target" "$mode" "$rate")"
            result[$target,$mode,$rate,avg]=$avg
            result[$target,$mode,$rate,loss]=$loss
            result[$target,$mode,$rate,cpu]=$cpu
            line="$line | $(printf "%6s%% %7s %7s %8s" "$loss" "$avg" "$p99" "$cpu")"
        done
        echo "$line"
    done
done

ratio() { awk -v a="${1:-0}" -v b="${2:-0}" 'BEGIN { printf "%6.2fx", (b > 0 ? a / b : 0) }'; }

echo
echo "Ratios of saturated queries/s (row / column):"
for mode in $PROTOCOLS; do
    for target in $(targets_for "$mode"); do
        line=$(printf "%-8s %-4s" "$target" "$mode")
        for ref in $(targets_for "$mode"); do
            [ "$ref" = "$target" ] && continue
            line="$line $ref $(ratio "${result[$target,$mode,sat]}" "${result[$ref,$mode,sat]}")  "
        done
        echo "$line"
    done
done

echo
echo "Ratios of CPU time per query at saturation (row / column):"
for mode in $PROTOCOLS; do
    for target in $(targets_for "$mode"); do
        [ -n "${result[$target,$mode,cpu]:-}" ] || continue
        line=$(printf "%-8s %-4s" "$target" "$mode")
        for ref in $(targets_for "$mode"); do
            [ "$ref" = "$target" ] || [ -z "${result[$ref,$mode,cpu]:-}" ] && continue
            line="$line $ref $(ratio "${result[$target,$mode,cpu]}" "${result[$ref,$mode,cpu]}")  "
        done
        echo "$line"
    done
done

echo
echo "Added average latency over direct (ms), and CPU per query at each rate over the saturated figure:"
for mode in $PROTOCOLS; do
    for target in $(targets_for "$mode"); do
        [ "$target" = direct ] && continue
        line=$(printf "%-8s %-4s" "$target" "$mode")
        for rate in $RATES; do
            a=${result[$target,$mode,$rate,avg]:-0}; b=${result[direct,$mode,$rate,avg]:-0}
            line="$line $(awk -v a="$a" -v b="$b" -v r="$rate" 'BEGIN { printf "@%s %+.3f", r, a - b }')"
            c=${result[$target,$mode,$rate,cpu]:--}; d=${result[$target,$mode,cpu]:-}
            [ "$c" != "-" ] && [ -n "$d" ] && line="$line (CPU $(ratio "$c" "$d"))"
            line="$line  "
        done
        echo "$line"
    done
done
