# Sourced by the DNS benchmarks: write_knot_setup WORK PORT makes, in WORK, the zone of
# 1000 names that all exist (bench.test), the query file for dnsperf ("queries") and the
# configuration of one single-threaded Knot DNS server on 127.0.0.1@PORT ("knot.conf").
write_knot_setup() {
    local work=$1 port=$2
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
    listen: 127.0.0.1@$port
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
}
