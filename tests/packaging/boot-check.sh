#!/bin/sh
# The packages on a booted system: a container (systemd-nspawn) over an overlay of this
# machine's /, with systemd as its init and a network of its own. Checks what only a real
# systemd shows: postinst starts the service, the unit's sandbox lets the resolv.conf
# backend protect the machine and filter, a killed service gets its DNS put back by
# ExecStopPost and is restarted, a stop and a removal give the DNS back.
# Usage: tests/packaging/boot-check.sh [folder with the .deb files]
# Exits 0 with "SKIPPED" where no container can boot here (no root, no systemd-nspawn).
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
debs=$(cd "${1:-$here/build-packages}" && pwd)
if [ "$(id -u)" -ne 0 ] || ! command -v systemd-nspawn > /dev/null; then
    echo "SKIPPED: booting a container needs root and systemd-nspawn (systemd-container)"
    exit 0
fi

scratch=$(mktemp -d /tmp/corvane-boot.XXXXXX)
root=$scratch/root
nspawn_pid=
init=
cleanup() {
    if [ -n "$nspawn_pid" ]; then
        # An orderly halt first; a container that does not halt within 20 s ends with its
        # init, which takes every process of its pid namespace along.
        kill -TERM "$nspawn_pid" 2>/dev/null || true
        i=0
        while kill -0 "$nspawn_pid" 2>/dev/null && [ $i -lt 100 ]; do
            i=$((i + 1)); sleep 0.2
        done
        [ -z "$init" ] || kill -KILL "$init" 2>/dev/null || true
        wait "$nspawn_pid" 2>/dev/null || true
    fi
    # A mount still busy for a moment (a container shutting down) is detached lazily.
    umount -R "$root" 2>/dev/null || umount -R -l "$root" 2>/dev/null || true
    umount "$scratch" 2>/dev/null || umount -l "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
mount -t tmpfs tmpfs "$scratch"
mkdir -p "$scratch/upper" "$scratch/work" "$root"
mount -t overlay overlay -o "lowerdir=/,upperdir=$scratch/upper,workdir=$scratch/work" "$root"

# Only what the check needs starts in the container: none of this machine's own services
# (a DNS server among them would hold port 53).
find "$root/etc/systemd/system" -mindepth 2 -maxdepth 2 -path '*.wants/*' ! -path '*/sockets.target.wants/*' -delete
# Nothing manages the container's network: waiting for it online would hold the boot (and
# the service, which comes after network-online.target) for two minutes.
for unit in systemd-networkd-wait-online.service systemd-networkd.service; do
    ln -sf /dev/null "$root/etc/systemd/system/$unit"
done
# The machine id stays: without one, systemd boots for the first time and enables every
# installed service by its presets.
# A container image's policy-rc.d forbids every start from maintainer scripts; a real
# system has none.
rm -f "$root/usr/sbin/policy-rc.d"
mkdir -p "$root/debs"
cp "$debs"/corvane-service_*.deb "$debs"/corvane-agent_*.deb "$root/debs/"
cp -r "$here/tools/corvane-reference-cabinet" "$here/tools/corvane-reference-resolver" "$here/tests/packaging/peers.sh" "$root/debs/"
printf 'nameserver 192.0.2.53\nsearch corvane.example\n' > "$root/etc/resolv.conf"
cp "$root/etc/resolv.conf" "$root/debs/resolv.conf.original"

systemd-nspawn -q -D "$root" --private-network --register=no --keep-unit -b > "$scratch/console.log" 2>&1 &
nspawn_pid=$!
# The container's init is the systemd whose parent is systemd-nspawn.
i=0
while [ -z "$init" ] && [ $i -lt 100 ]; do
    init=$(pgrep -P "$nspawn_pid" -x systemd || true)
    i=$((i + 1)); sleep 0.2
done
inside() {
    nsenter -t "$init" -a "$@"
}
booted=no
i=0
while [ $i -lt 120 ] && [ -n "$init" ]; do
    state=$(inside systemctl is-system-running 2>/dev/null || true)
    case "$state" in running|degraded) booted=yes; break ;; esac
    i=$((i + 1)); sleep 0.5
done
if [ "$booted" != yes ]; then
    echo "SKIPPED: the container did not boot here:"
    tail -n 15 "$scratch/console.log"
    exit 0
fi
echo "container booted ($(inside systemctl is-system-running 2>/dev/null || true))"

cat > "$root/debs/booted.sh" <<'INSIDE'
#!/bin/sh
set -u
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
wait_until() { # seconds command...
    limit=$(($1 * 10)); shift; n=0
    until "$@"; do n=$((n + 1)); [ $n -lt $limit ] || return 1; sleep 0.1; done
}
protected() { grep -q '^nameserver 127.0.0.1' /etc/resolv.conf; }
original() { cmp -s /etc/resolv.conf /debs/resolv.conf.original; }

ip link set lo up
ip link add demo0 type veth peer name demo1 && ip link set demo1 up && ip link set demo0 up \
    && ip address add 192.0.2.10/24 dev demo0 || fail "no veth pair for the demo adapter"

# The reference peers, and a drop-in that points the installed unit at them; they go with
# this script.
trap 'kill $(jobs -p) 2>/dev/null' EXIT
. /debs/peers.sh
start_peers /run/peers /etc/corvane-test/service.ini || fail "the reference peers did not start"
mkdir -p /etc/systemd/system/corvane-service.service.d
printf '[Service]\nEnvironment=CORVANE_SERVICE_INI=/etc/corvane-test/service.ini\n' \
    > /etc/systemd/system/corvane-service.service.d/peers.conf

dpkg -i /debs/corvane-service_*.deb /debs/corvane-agent_*.deb > /run/install.log 2>&1 || { cat /run/install.log; fail "dpkg -i"; }
wait_until 20 systemctl is-active -q corvane-service && pass "postinst started the service (Type=notify ready)" \
    || fail "the service is $(systemctl is-active corvane-service) after install: $(journalctl -u corvane-service -n 20 --no-pager)"
systemctl is-enabled -q corvane-service && pass "the unit is enabled" || fail "the unit is not enabled"
journalctl -u corvane-service --no-pager | grep -o 'Adapter DNS control: backend [^,]*' | head -n 1

echo demo | corvanectl --password-stdin login demo@corvane.test > /run/login.log 2>&1 || fail "corvanectl login: $(cat /run/login.log)"
wait_until 30 protected && pass "the sandboxed service protects resolv.conf" \
    || fail "not protected: $(cat /etc/resolv.conf) $(journalctl -u corvane-service -n 30 --no-pager)"
blocked=$(dig @127.0.0.1 blocked.example A +short +time=2 +tries=3)
allowed=$(dig @127.0.0.1 news.example A +short +time=2 +tries=3)
[ "$blocked" = 198.51.100.1 ] && [ "$allowed" = 192.0.2.1 ] && pass "the system's DNS filters: blocked.example $blocked, news.example $allowed" \
    || fail "answers through the system's DNS: blocked.example '$blocked', news.example '$allowed'"

# A crash: ExecStopPost gives the DNS back, then Restart=on-failure brings the service back.
main=$(systemctl show -P MainPID corvane-service)
kill -KILL "$main"
wait_until 5 original && pass "after a crash the unit's ExecStopPost put resolv.conf back" \
    || fail "resolv.conf after the crash: $(cat /etc/resolv.conf)"
wait_until 30 sh -c '[ "$(systemctl show -P MainPID corvane-service)" != 0 ] && [ "$(systemctl show -P MainPID corvane-service)" != '"$main"' ] && grep -q "^nameserver 127.0.0.1" /etc/resolv.conf' \
    && pass "restarted after the crash and protecting again" || fail "not restarted: $(systemctl status corvane-service --no-pager)"

systemctl stop corvane-service
original && pass "a stop gives the DNS back" || fail "resolv.conf after stop: $(cat /etc/resolv.conf)"
systemctl start corvane-service
wait_until 30 protected || fail "not protecting after a start with the kept sign-in"
dpkg -r corvane-agent corvane-service > /run/remove.log 2>&1 || { cat /run/remove.log; fail "dpkg -r"; }
original && pass "removal gives the DNS back" || fail "resolv.conf after removal: $(cat /etc/resolv.conf)"
systemctl is-active -q corvane-service && fail "still running after removal"
dpkg -P corvane-service corvane-agent > /run/purge.log 2>&1 || { cat /run/purge.log; fail "dpkg -P"; }
[ -e /var/lib/corvane-service ] && fail "purge left /var/lib/corvane-service" || pass "purge removed the state"
exit $failures
INSIDE
chmod +x "$root/debs/booted.sh"
status=0
inside /debs/booted.sh || status=$?
if [ "$status" -ne 0 ]; then
    echo "$status checks on the booted container failed" >&2
    exit 1
fi
echo "every check on the booted container passed"
