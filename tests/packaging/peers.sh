# Sourced by the package checks inside their throwaway systems (copied to /debs with the
# stand-ins): start_peers DIR INI starts the reference account service and resolver on
# loopback with their state in DIR, waits for both, and writes the service.ini INI that
# points the service at them (the account service's CA copied beside it). Returns 1 when
# they did not come up within 30 s.
start_peers() {
    peers=$1 ini=$2
    mkdir -p "$peers/cabinet" "$peers/resolver" "$(dirname "$ini")"
    python3 /debs/corvane-reference-cabinet/corvane-reference-cabinet --listen 127.0.0.1:0 --state "$peers/cabinet" \
        > "$peers/cabinet/output" 2>&1 &
    python3 /debs/corvane-reference-resolver/corvane-reference-resolver --listen 127.0.0.1:0 \
        --data "$peers/cabinet/cabinet.json" --state "$peers/resolver" > "$peers/resolver/output" 2>&1 &
    n=0
    until grep -q "sign in as" "$peers/cabinet/output" 2>/dev/null && [ -s "$peers/resolver/status.json" ]; do
        n=$((n + 1)); [ $n -lt 300 ] || return 1; sleep 0.1
    done
    site=$(sed -n 's/.*serving \(https:[^ ]*\).*/\1/p' "$peers/cabinet/output" | head -n 1)
    port=$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))["udp"].rsplit(":", 1)[1])' \
        "$peers/resolver/status.json")
    ca=$(dirname "$ini")/ca.pem
    cp "$peers/cabinet/ca.pem" "$ca"
    printf '[global]\nwww=%s\nwww-ca-file=%s\ntarnwickproxy-addr=127.0.0.1\ntarnwickproxy-port=%s\n' \
        "$site" "$ca" "$port" > "$ini"
}
