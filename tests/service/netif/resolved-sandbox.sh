#!/bin/bash
# Runs a program next to a real systemd-resolved (Debian 12's), without systemd as PID 1,
# in fresh network, mount and pid namespaces with a private system bus, so that nothing of
# the machine's own DNS is touched. Needs root and dbus-daemon (Debian package dbus).
#
#   resolved-sandbox.sh PROGRAM [ARGUMENTS...]
#
# Inside: links d0 and d1 (veth pairs; peers d0p, d1p), no routes; UDP DNS responders on
# 127.0.0.11 (answers 192.0.2.11), 127.0.0.12 (192.0.2.12) and 127.0.0.13 (192.0.2.13),
# logging to $SANDBOX_LOGS/responder-11.log and so on; /etc/resolv.conf names resolved's
# stub 127.0.0.53; DBUS_SYSTEM_BUS_ADDRESS names the private bus. PROGRAM then runs with
# CORVANE_IN_RESOLVED_SANDBOX=1 and its exit code is the script's.
#
# The packages systemd-resolved and libnss-resolve are fetched once with apt-get download
# and unpacked (never installed) into $CORVANE_RESOLVED_ROOT (default
# ${TMPDIR:-/tmp}/corvane-resolved). When that fails, PROGRAM runs outside the sandbox with
# CORVANE_RESOLVED_SANDBOX_UNAVAILABLE set to the reason, so that it can skip.
set -euo pipefail
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=${CORVANE_RESOLVED_ROOT:-${TMPDIR:-/tmp}/corvane-resolved}
LIMIT=${SANDBOX_TIMEOUT:-240}


if [ "${1:-}" != "--inside" ]; then
  [ "$(id -u)" = 0 ] || { CORVANE_RESOLVED_SANDBOX_UNAVAILABLE="needs root" exec "$@"; }
  command -v dbus-daemon >/dev/null || { CORVANE_RESOLVED_SANDBOX_UNAVAILABLE="dbus-daemon is missing (Debian package dbus)" exec "$@"; }
  if [ ! -x "$ROOT/tree/lib/systemd/systemd-resolved" ]; then
    mkdir -p "$ROOT/debs"
    if ! (cd "$ROOT/debs" && apt-get download systemd-resolved libnss-resolve >"$ROOT/download.log" 2>&1); then
      CORVANE_RESOLVED_SANDBOX_UNAVAILABLE="apt-get download systemd-resolved failed (see $ROOT/download.log)" exec "$@"
    fi
    for deb in "$ROOT"/debs/*.deb; do dpkg -x "$deb" "$ROOT/tree"; done
  fi
  export SANDBOX_LOGS=${SANDBOX_LOGS:-${TMPDIR:-/tmp}/resolved-sandbox-logs}
  rm -rf "$SANDBOX_LOGS"; mkdir -p "$SANDBOX_LOGS"
  exec timeout -k 5 "$LIMIT" unshare --net --mount --pid --fork --mount-proc "$0" --inside "$@"
fi
shift
TREE=$ROOT/tree
CHILDREN=()
finish() { for p in "${CHILDREN[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap finish EXIT

# Private /run and /sys; private copies of the /etc files resolved and glibc read.
mount -t tmpfs -o mode=755 tmpfs /run
mount -t sysfs sysfs /sys
mkdir -p /run/dbus /run/sandbox /run/systemd/resolved.conf.d
cp /etc/passwd /run/sandbox/passwd; cp /etc/group /run/sandbox/group
grep -q '^systemd-resolve:' /run/sandbox/passwd || echo 'systemd-resolve:x:4990:4990::/:/usr/sbin/nologin' >> /run/sandbox/passwd
grep -q '^systemd-resolve:' /run/sandbox/group || echo 'systemd-resolve:x:4990:' >> /run/sandbox/group
mount --bind /run/sandbox/passwd /etc/passwd
mount --bind /run/sandbox/group /etc/group
echo 'nameserver 127.0.0.53' > /run/sandbox/resolv.conf
mount --bind /run/sandbox/resolv.conf /etc/resolv.conf
printf 'hosts: files dns\n' > /run/sandbox/nsswitch.conf
mount --bind /run/sandbox/nsswitch.conf /etc/nsswitch.conf

ip link set lo up
for link in d0 d1; do
  ip link add $link type veth peer name ${link}p
  ip link set ${link}p up
  ip link set $link up
done
ip addr add 10.200.0.2/24 dev d0
ip addr add 10.201.0.2/24 dev d1

for n in 11 12 13; do
  timeout "$LIMIT" python3 "$HERE/dnsresponder.py" 127.0.0.$n 192.0.2.$n "$SANDBOX_LOGS/responder-$n.log" & CHILDREN+=($!)
done
for i in $(seq 1 100); do
  [ "$(ss -lnu | grep -cE '127\.0\.0\.1[123]:53 ')" = 3 ] && break; sleep 0.05
done

printf '[Resolve]\nLLMNR=no\nMulticastDNS=no\nFallbackDNS=\nDNSStubListener=yes\n' > /run/systemd/resolved.conf.d/00-sandbox.conf
cat > /run/sandbox/bus.conf <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <auth>EXTERNAL</auth>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/><allow receive_type="method_return"/>
    <allow receive_type="error"/><allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Properties"/>
  </policy>
  <includedir>$TREE/usr/share/dbus-1/system.d</includedir>
</busconfig>
CONF
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/run/dbus/system_bus_socket
timeout "$LIMIT" dbus-daemon --config-file=/run/sandbox/bus.conf --nofork --nopidfile > "$SANDBOX_LOGS/dbus.log" 2>&1 & CHILDREN+=($!)

SYSTEMD_LOG_TARGET=console SYSTEMD_LOG_LEVEL=${RESOLVED_LOG_LEVEL:-info} \
  timeout "$LIMIT" "$TREE/lib/systemd/systemd-resolved" > "$SANDBOX_LOGS/resolved.log" 2>&1 & CHILDREN+=($!)
ready=no
for i in $(seq 1 200); do
  if busctl --system call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus NameHasOwner s org.freedesktop.resolve1 2>/dev/null | grep -q true \
     && ss -lnu | grep -qE '127\.0\.0\.53(%lo)?:53'; then ready=yes; break; fi
  sleep 0.05
done
[ $ready = yes ] || { echo "systemd-resolved did not start; see $SANDBOX_LOGS/resolved.log" >&2; exit 1; }

export CORVANE_IN_RESOLVED_SANDBOX=1
export RESOLVECTL="$TREE/usr/bin/resolvectl"
set +e
"$@"
status=$?
exit $status
