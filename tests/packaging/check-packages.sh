#!/bin/sh
# Checks the built Debian packages: their contents (files, modes, owners, nothing outside
# the FHS), the unit (systemd-analyze verify, the exposure score of systemd-analyze
# security), the desktop entries, and then the maintainer scripts for real in a throwaway
# root (an overlay of this machine's / in private mount, network and pid namespaces): install
# without systemd, a protected machine whose service crashed put back by the unit's own
# ExecStopPost command, an upgrade that keeps the sign-in and the cache, remove, purge.
# Usage: tests/packaging/check-packages.sh [folder with the .deb files]
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
debs=$(cd "${1:-$here/build-packages}" && pwd)
service_deb=$(ls "$debs"/corvane-service_*.deb)
agent_deb=$(ls "$debs"/corvane-agent_*.deb)
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
}

scratch=$(mktemp -d /tmp/corvane-packages.XXXXXX)
cleanup() {
    # A mount still busy for a moment (a container shutting down) is detached lazily.
    umount -R "$scratch/root" 2>/dev/null || umount -R -l "$scratch/root" 2>/dev/null || true
    umount "$scratch" 2>/dev/null || umount -l "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# --- contents ------------------------------------------------------------------------------

# "<mode> <path>" for every entry of a package, owners checked on the way.
listing() {
    dpkg-deb --fsys-tarfile "$1" | tar -tvf - | while read -r mode owner _size _date _time path _rest; do
        [ "$owner" = root/root ] || echo "OWNER $owner $path"
        echo "$mode ${path#.}"
    done
}

expect_entry() { # package-listing mode path-pattern
    if grep -Eq "^$2 $3\$" "$1"; then pass "$(basename "$1" .list): $3 ($2)"; else fail "$(basename "$1" .list): no $3 with mode $2"; fi
}

listing "$service_deb" > "$scratch/service.list"
listing "$agent_deb" > "$scratch/agent.list"
for list in "$scratch/service.list" "$scratch/agent.list"; do
    if grep -q '^OWNER' "$list"; then fail "files not owned by root in $(basename "$list"): $(grep '^OWNER' "$list")"; fi
    # Everything under the FHS places a package may use; nothing in /usr/local, /opt, /home,
    # /tmp or /var (the state is made by systemd and the service at run time).
    outside=$(awk '{ print $2 }' "$list" | grep -Ev '^/$|^/(usr/(bin|sbin|lib|share)|etc|lib/systemd/system)(/|$)|^/usr/$|^/lib/(systemd/)?$' || true)
    [ -z "$outside" ] && pass "$(basename "$list" .list): every file in an FHS place" || fail "outside the FHS: $outside"
    if awk '{ print $1 }' "$list" | grep -q '^-..[sS]\|^-.....[sS]'; then fail "set-id file in $(basename "$list")"; fi
done
expect_entry "$scratch/service.list" '-rwxr-xr-x' '/usr/sbin/corvane-service'
expect_entry "$scratch/service.list" '-rwxr-xr-x' '/usr/bin/corvanectl'
expect_entry "$scratch/service.list" '-rw-r--r--' '/usr/lib/[^/]+/corvane/liblodestar\.so\.[0-9.]+'
expect_entry "$scratch/service.list" '-rw-r--r--' '/lib/systemd/system/corvane-service\.service'
expect_entry "$scratch/service.list" '-rw-r--r--' '/usr/share/bash-completion/completions/corvanectl'
expect_entry "$scratch/service.list" '-rw-r--r--' '/usr/share/doc/corvane-service/copyright'
expect_entry "$scratch/agent.list" '-rwxr-xr-x' '/usr/bin/corvane-agent'
expect_entry "$scratch/agent.list" '-rw-r--r--' '/usr/share/applications/corvane-agent\.desktop'
expect_entry "$scratch/agent.list" '-rw-r--r--' '/usr/share/icons/hicolor/scalable/apps/corvane-agent\.svg'
expect_entry "$scratch/agent.list" '-rw-r--r--' '/etc/xdg/autostart/corvane-agent\.desktop'
# The private library goes with the service only; the agent finds it there by its RUNPATH.
if grep -q liblodestar "$scratch/agent.list"; then fail "corvane-agent ships the library too"; fi

mkdir -p "$scratch/service" "$scratch/agent"
dpkg-deb -x "$service_deb" "$scratch/service"
dpkg-deb -x "$agent_deb" "$scratch/agent"
for program in "$scratch/service/usr/sbin/corvane-service" "$scratch/service/usr/bin/corvanectl" "$scratch/agent/usr/bin/corvane-agent"; do
    runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
    case "$runpath" in
        /usr/lib/*/corvane) pass "$(basename "$program"): RUNPATH $runpath" ;;
        *) fail "$(basename "$program"): RUNPATH '$runpath' is not the private library folder" ;;
    esac
done
dpkg-deb -f "$agent_deb" Depends | grep -q 'corvane-service (= ' && pass "corvane-agent depends on the same corvane-service" \
    || fail "corvane-agent does not depend on its corvane-service"
dpkg-deb --ctrl-tarfile "$agent_deb" | tar -xOf - ./conffiles | grep -qx /etc/xdg/autostart/corvane-agent.desktop \
    && pass "the autostart entry is a conffile" || fail "the autostart entry is not a conffile"

# --- the unit ------------------------------------------------------------------------------

unit=$scratch/service/lib/systemd/system/corvane-service.service
for line in 'Type=notify' 'ExecStart=/usr/sbin/corvane-service' 'ExecStopPost=/usr/sbin/corvane-service -cleanup' \
            'Restart=on-failure' 'StateDirectory=corvane-service' 'RuntimeDirectory=corvane-service'; do
    grep -qx "$line" "$unit" && pass "unit: $line" || fail "unit has no line $line"
done
security=$(systemd-analyze security --offline=true --root="$scratch/service" "$unit" 2>&1 || true)
exposure=$(echo "$security" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p')
echo "$security" | tail -n 1
# The service runs as root with the network, netlink, the system bus and /etc writable
# (the resolv.conf backend): "MEDIUM" is what these allow; anything worse is a regression.
if [ -n "$exposure" ] && awk -v e="$exposure" 'BEGIN { exit !(e < 7.0) }'; then
    pass "exposure $exposure"
else
    fail "exposure '$exposure' (7.0 or worse, or not measured)"
fi

for entry in "$scratch/agent/usr/share/applications/corvane-agent.desktop" "$scratch/agent/etc/xdg/autostart/corvane-agent.desktop"; do
    if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then pass "desktop-file-validate $(basename "$(dirname "$entry")")/$(basename "$entry")"; else fail "desktop-file-validate $entry: $out"; fi
done

# --- maintainer scripts in a throwaway root ------------------------------------------------

if [ "$(id -u)" -ne 0 ] || ! unshare -m -n -p --fork true 2>/dev/null; then
    echo "SKIPPED: the maintainer scripts need root and private namespaces"
    [ "$failures" -eq 0 ] || exit 1
    exit 0
fi

mount -t tmpfs tmpfs "$scratch"
mkdir -p "$scratch/upper" "$scratch/work" "$scratch/root" "$scratch/debs"
cp "$service_deb" "$agent_deb" "$scratch/debs/"
cp -r "$here/tools/corvane-reference-cabinet" "$here/tools/corvane-reference-resolver" "$here/tests/packaging/peers.sh" "$scratch/debs/"
cat > "$scratch/debs/inside.sh" <<'INSIDE'
#!/bin/sh
# Runs inside the throwaway root, as root, without systemd and in its own network.
set -u
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
state=/var/lib/corvane-service
ip link set lo up
# One wired adapter for the service to protect.
ip link add demo0 type veth peer name demo1 && ip link set demo1 up && ip link set demo0 up \
    && ip address add 192.0.2.10/24 dev demo0 || fail "no veth pair for the demo adapter"
printf 'nameserver 192.0.2.53\nsearch corvane.example\n' > /etc/resolv.conf.original
rm -f /etc/resolv.conf
cp /etc/resolv.conf.original /etc/resolv.conf

dpkg -i /debs/corvane-service_*.deb /debs/corvane-agent_*.deb > /debs/install.log 2>&1 \
    && pass "dpkg -i without systemd" || { cat /debs/install.log; fail "dpkg -i"; }
[ -L /etc/systemd/system/multi-user.target.wants/corvane-service.service ] && pass "postinst enabled the unit" \
    || fail "postinst did not enable the unit"
pgrep -x corvane-service > /dev/null && fail "postinst started the service without systemd" || pass "not started without systemd"
# The installed unit against the machine's own units, with its programs in place.
if verify=$(systemd-analyze verify corvane-service.service 2>&1) && [ -z "$verify" ]; then
    pass "systemd-analyze verify"
else
    fail "systemd-analyze verify: $verify"
fi

# The unit's own stop command and environment, exactly as systemd would run them.
unit=/lib/systemd/system/corvane-service.service
stop_command=$(sed -n 's/^ExecStopPost=//p' $unit)
unit_environment=$(sed -n 's/^Environment=//p' $unit)

# The reference account service and resolver on loopback, as the main job has them.
. /debs/peers.sh
start_peers /tmp/peers /tmp/peers/config/service.ini || fail "the reference peers did not start"

# Starts the installed service as the unit would (its state directory and environment),
# waits until it protects the machine, and kills it: a crash leaves resolv.conf pointing at
# a proxy that is gone.
protect_and_crash() {
    run=$1
    shift
    env STATE_DIRECTORY=$state RUNTIME_DIRECTORY=/run/corvane-service $unit_environment CORVANE_SERVICE_INI=/tmp/peers/config/service.ini \
        CORVANE_LOG_STDERR=1 /usr/sbin/corvane-service -e "$@" > /tmp/service.log 2>&1 &
    pid=$!
    i=0
    until grep -q '^nameserver 127.0.0.1' /etc/resolv.conf 2>/dev/null; do
        i=$((i + 1)); [ $i -lt 300 ] || { tail -n 20 /tmp/service.log; fail "$run: the service did not protect the machine"; break; }; sleep 0.1
    done
    # What a user sees of it on the command line, through the installed client.
    if status=$(corvanectl --json status 2>&1); then
        echo "$status" | grep -q '"login": *"demo@corvane.test"' && pass "$run: corvanectl status shows the sign-in" \
            || fail "$run: corvanectl status: $status"
    else
        fail "$run: corvanectl status failed: $status"
    fi
    kill -KILL $pid; wait $pid 2>/dev/null
    grep -q '^nameserver 127.0.0.1' /etc/resolv.conf && pass "$run: protected, then crashed"
}
mkdir -p $state /run/corvane-service

protect_and_crash "first run" -login demo@corvane.test -pass demo -f
env $unit_environment STATE_DIRECTORY=$state $stop_command > /tmp/cleanup.log 2>&1 || fail "ExecStopPost failed: $(cat /tmp/cleanup.log)"
cmp -s /etc/resolv.conf /etc/resolv.conf.original && pass "the unit's ExecStopPost put resolv.conf back after the crash" \
    || fail "resolv.conf after ExecStopPost: $(cat /etc/resolv.conf)"

# An upgrade (here: the same packages installed over themselves) keeps the sign-in, the
# settings and the account cache, byte for byte.
snapshot() { (cd $state && find . -type f ! -name '*.lock' | sort | xargs -r sha256sum); }
snapshot > /tmp/before
dpkg -i /debs/corvane-service_*.deb /debs/corvane-agent_*.deb > /debs/upgrade.log 2>&1 || { cat /debs/upgrade.log; fail "upgrade"; }
snapshot > /tmp/after
cmp -s /tmp/before /tmp/after && pass "upgrade kept the state directory ($(wc -l < /tmp/after) files)" \
    || fail "upgrade changed the state: $(diff /tmp/before /tmp/after)"

# No credentials given this time: the kept sign-in is what lets it filter again.
protect_and_crash "after the upgrade"
dpkg -r corvane-agent corvane-service > /debs/remove.log 2>&1 || { cat /debs/remove.log; fail "dpkg -r"; }
cmp -s /etc/resolv.conf /etc/resolv.conf.original && pass "remove put resolv.conf back" \
    || fail "resolv.conf after remove: $(cat /etc/resolv.conf)"
[ -d $state/config ] && pass "remove kept the settings" || fail "remove dropped the settings"
[ -e /usr/sbin/corvane-service ] && fail "remove left the program"
dpkg -P corvane-agent corvane-service > /debs/purge.log 2>&1 || { cat /debs/purge.log; fail "dpkg -P"; }
[ -e $state ] && fail "purge left $state" || pass "purge removed the state directory"
[ -e /etc/systemd/system/multi-user.target.wants/corvane-service.service ] && fail "purge left the unit enabled" \
    || pass "purge dropped the unit's enablement"
[ -e /etc/xdg/autostart/corvane-agent.desktop ] && fail "purge left the autostart entry" || pass "purge removed the autostart entry"
exit $failures
INSIDE
chmod +x "$scratch/debs/inside.sh"

status=0
unshare -m -n -p --fork sh -c '
    set -e
    s=$1
    mount --make-rprivate /
    mount -t overlay overlay -o lowerdir=/,upperdir=$s/upper,workdir=$s/work $s/root
    mount -t proc proc $s/root/proc
    mount --rbind /dev $s/root/dev
    mount -t tmpfs tmpfs $s/root/run
    mount -t tmpfs tmpfs $s/root/tmp
    mkdir -p $s/root/debs
    mount --bind $s/debs $s/root/debs
    exec chroot $s/root /debs/inside.sh
' sh "$scratch" || status=$?
failures=$((failures + status))

if [ "$failures" -ne 0 ]; then
    echo "$failures package checks failed" >&2
    exit 1
fi
echo "every package check passed"
