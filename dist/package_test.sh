#!/bin/sh
# The package as CI checks it, without installing it:
#   dist/package_test.sh NATIVE_BUILD WORK
# builds it (dist/build_package.sh) in WORK, runs lintian on both .debs (no
# tag allowed, at -I -E --pedantic), unpacks the package with dpkg-deb -x,
# validates its desktop entry and metainfo, and runs the unpacked
# kirmavo-capture at the golden instants (tests/capture/golden.txt) in a
# private mount namespace, where the unpacked data folder stands at the
# installed path. Its frames must be the
# same bytes as the developer build's capture writes from NATIVE_BUILD/data,
# which the tests hold to the golden hashes. Nothing outside WORK changes.
set -eu
cd "$(dirname "$0")/.."
native=$(realpath "$1")
work=$(realpath -m "$2")

dist/build_package.sh "$work" "$work/out"

echo "lintian -I -E --pedantic:"
# Any tag is a failure here; a status other than 0 means lintian could not run.
tags=$(lintian --fail-on none -I -E --pedantic "$work"/out/*.deb 2>/dev/null)
if [ -n "$tags" ]; then
    echo "$tags"
    exit 1
fi
echo "  no tags"

unpacked="$work/unpacked"
dpkg-deb -x "$work"/out/kirmavo_*.deb "$unpacked"

# The desktop entry, and the metainfo with one note allowed: its id is not a
# reverse domain name, for the project has no domain of its own.
desktop-file-validate "$unpacked/usr/share/applications/kirmavo.desktop"
notes=$(appstreamcli validate --no-net --pedantic "$unpacked/usr/share/metainfo/kirmavo.metainfo.xml" |
    grep -E '^[EWIP]:' | grep -v 'cid-desktopapp-is-not-rdns') || true
if [ -n "$notes" ]; then
    echo "$notes"
    exit 1
fi
data=/usr/share/games/kirmavo/data
at=$(grep -E '^[0-9]+ ' tests/capture/golden.txt | cut -d' ' -f1 | paste -sd,)
mkdir -p "$work/clone" "$work/installed"
(cd "$native" && ./tools/capture/capture --at "$at" --frames "$work/clone")

# /usr/share/games may not exist, and nothing may be made there: in the
# namespace, /usr/share gets a private overlay in which the folder is
# made, and the unpacked data is bound onto it. Run from an empty folder.
[ "$(id -u)" -eq 0 ] && ns="unshare -m" || ns="unshare -r -m"
mkdir -p "$work/overlay/upper" "$work/overlay/work" "$work/empty"
$ns sh -eu -c '
    mount -t overlay overlay -o "lowerdir=/usr/share,upperdir=$1/upper,workdir=$1/work" /usr/share
    mkdir -p "$3"
    mount --bind "$2$3" "$3"
    cd "$4"
    "$2/usr/games/kirmavo-capture" --at "$5" --frames "$6"
' sh "$work/overlay" "$unpacked" "$data" "$work/empty" "$at" "$work/installed"

if ! diff -r "$work/clone" "$work/installed" >/dev/null; then
    echo "the unpacked kirmavo-capture's frames differ from the clone's: see $work/clone and $work/installed" >&2
    exit 1
fi
echo "the unpacked kirmavo-capture wrote the golden frames ($(ls "$work/installed" | wc -l) of them) from $data"
