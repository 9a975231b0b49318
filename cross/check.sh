#!/bin/sh
# The same bytes on another architecture: builds the generators and capture
# for ARCH, runs them under qemu-user and compares what they make with what
# the native build made: every data file and the fly-in table generated at
# build time, the frames at the golden instants and the whole show's
# soundtrack. TESTs, test programs of the tree, are built too and run under
# qemu through CTest.
#   cross/check.sh ARCH NATIVE_BUILD CROSS_BUILD [TEST...]
# The target's libraries are fetched once into CROSS_BUILD/target.
set -eu
cd "$(dirname "$0")/.."

[ $# -ge 3 ] || {
    echo "usage: $0 ARCH NATIVE_BUILD CROSS_BUILD [TEST...]" >&2
    exit 2
}
arch=$1
native=$(realpath "$2")
cross=$(realpath -m "$3")
shift 3
jobs=$(nproc 2>/dev/null || echo 2)

cross/fetch_libs.sh "$arch" "$cross/target"
cmake -S . -B "$cross" --toolchain cross/debian.cmake -DKIRMAVO_TARGET_ARCH="$arch" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$cross" -j "$jobs" --target content music capture "$@" >/dev/null
emulator=$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$cross/CMakeCache.txt" | tr ';' ' ')

# The show's frames at every golden instant, and the whole soundtrack, as
# each build's capture writes them.
at=$(sed -n 's/^\([0-9][0-9]*\) .*/\1/p' tests/capture/golden.txt | paste -sd, -)
shots() {
    rm -rf "$2/cross-check"
    (cd "$2" && $1 tools/capture/capture --at "$at" --frames cross-check/frames &&
        $1 tools/capture/capture --wav cross-check/show.wav)
}
shots "" "$native"
shots "$emulator" "$cross"

differ=0
compare() {
    cmp -s "$native/$1" "$cross/$1" || {
        echo "cross/check.sh: $arch: $1 differs from the native build's" >&2
        differ=1
    }
}
for file in "$native"/data/* "$native"/gfx/fx/flyin_rects.cpp "$native"/cross-check/frames/* "$native"/cross-check/show.wav; do
    compare "${file#"$native"/}"
done
frames=$(ls "$native/cross-check/frames" | wc -l)
[ "$frames" -gt 0 ] && [ "$frames" = "$(ls "$cross/cross-check/frames" | wc -l)" ] || {
    echo "cross/check.sh: $arch: $frames golden frames natively, a different count here" >&2
    differ=1
}
[ "$differ" -eq 0 ] || exit 1
echo "cross/check.sh: $arch: $(ls "$native/data" | wc -l) data files, the fly-in table, $frames golden frames and the soundtrack equal the native build's"

if [ $# -gt 0 ]; then
    # The programs not built here stand in CTest's list as *_NOT_BUILT.
    ctest --test-dir "$cross" --output-on-failure -j "$jobs" --timeout 600 -E '_NOT_BUILT$'
fi
