#!/bin/sh
# Builds the Debian packages (corvane-service, corvane-agent) from the committed tree with
# the dh sequence, then runs lintian over them: any error fails, the warnings that stay are
# explained in debian/*.lintian-overrides. Installs what it needs on a fresh Debian 12.
# Usage: scripts/package.sh              (packages in build-packages/, or $CORVANE_PACKAGE_DIR)
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
out=${CORVANE_PACKAGE_DIR:-$here/build-packages}
"$here/scripts/install-deps.sh" build package

version=$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)
rm -rf "$out"
mkdir -p "$out"
# The package is built from what is committed (plus what is staged or changed in tracked
# files), never from build folders or stray files of a work tree.
src=$out/corvane-$version
mkdir -p "$src"
(cd "$here" && git ls-files -z --cached | xargs -0 tar -cf - --no-recursion) | tar -xf - -C "$src"

jobs=$(nproc)
(cd "$src" && DEB_BUILD_OPTIONS="parallel=$jobs nocheck" dpkg-buildpackage -us -uc -b -rfakeroot) \
    > "$out/build.log" 2>&1 || {
    tail -n 60 "$out/build.log" >&2
    echo "package build failed; the whole log is in $out/build.log" >&2
    exit 1
}
rm -rf "$src"

changes=$(ls "$out"/corvane_*.changes)
echo "Built:"
ls -l "$out"/*.deb
# Errors fail the build; warnings and informational tags are shown with the overrides in
# force, so that a new one is seen.
lintian --fail-on error --display-info --show-overrides "$changes" | tee "$out/lintian.log"
echo "lintian: $(grep -c '^E:' "$out/lintian.log" || true) errors, $(grep -c '^W:' "$out/lintian.log" || true) warnings," \
     "$(grep -c '^O:' "$out/lintian.log" || true) overridden"
