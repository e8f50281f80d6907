#!/bin/sh
# Installs the Debian packages of the given purposes (build, run, test, fuzz, bench) that are
# missing, as listed in packaging/debian-packages.txt. Needs root (or sudo) only when
# something is missing.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- build test

wanted=$(for purpose in "$@"; do
    grep -v '^#' "$here/packaging/debian-packages.txt" | awk -v p="$purpose" '$2 == p { print $1 }'
done | sort -u)

missing=""
for package in $wanted; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done
[ -n "$missing" ] || exit 0

echo "Installing missing packages:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
