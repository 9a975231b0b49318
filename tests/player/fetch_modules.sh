#!/bin/sh
# Puts the .mod files of Debian's freedroid-data and circuslinux-data into
# DIR (once; later runs find them there). Exit status 0 when DIR holds them.
set -u
dir=$1
mkdir -p "$dir" || exit 1
exec 9>"$dir/.lock"
flock 9
ls "$dir"/*.mod >/dev/null 2>&1 && exit 0
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
if ! apt-get download freedroid-data circuslinux-data >/dev/null 2>&1; then
    apt-get update >/dev/null 2>&1
    apt-get download freedroid-data circuslinux-data >/dev/null 2>&1 || exit 1
fi
for deb in *.deb; do dpkg -x "$deb" x || exit 1; done
find x -name '*.mod' -exec cp {} "$dir"/ \;
ls "$dir"/*.mod >/dev/null 2>&1
