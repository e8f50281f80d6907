#!/bin/sh
# Runs one test program with every directory that our programs read or write redirected
# into a fresh scratch folder, so that no test touches the user's or the machine's files
# (settings under ~/.config or /etc/xdg, state under /var/lib, sockets under /run).
set -e
scratch=$1
shift
rm -rf "$scratch"
mkdir -p "$scratch/config" "$scratch/system-config" "$scratch/state" "$scratch/runtime" \
         "$scratch/home" "$scratch/data" "$scratch/tmp"
chmod 0700 "$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/config"
# The machine's own /etc/xdg (an installed autostart entry, say) stays out of the tests.
export XDG_CONFIG_DIRS="$scratch/xdg-config-dirs"
export XDG_DATA_HOME="$scratch/data"
export XDG_RUNTIME_DIR="$scratch/runtime"
export CORVANE_SYSTEM_CONFIG_DIR="$scratch/system-config"
export STATE_DIRECTORY="$scratch/state"
export RUNTIME_DIRECTORY="$scratch/runtime"
export HOME="$scratch/home"
export TMPDIR="$scratch/tmp"
export QT_QPA_PLATFORM=offscreen
exec "$@"
