#!/bin/sh
# Render speed of modrender against the peer players installed from Debian,
# on the same modules in one run, interpolation off everywhere:
#   bench/render/compare.sh BUILD_DIR MODULE_DIR
# needs openmpt123 and xmp (apt-get install openmpt123 xmp). Each render is
# timed three times and the fastest kept. The players may stop the same song
# at different places, so speed is seconds of audio written per second of
# wall time, and the ratios are our speed over the peer's: above 1 means we
# are faster.
set -eu
build=$1
modules=$2
modrender=$build/tools/modrender/modrender
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

best() { # best wall time in seconds of three runs of "$@"
    best=""
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
    done
    echo "$best"
}

audio() { # seconds of 16-bit stereo 44100 Hz audio in a WAV file
    echo "($(stat -c %s "$1") - 44) / 176400" | bc -l
}

printf '%-30s %10s %10s %10s %9s %9s\n' module 'ours x' 'openmpt x' 'xmp x' 'vs openmpt' 'vs xmp'
for module in "$modules"/*.mod; do
    name=$(basename "$module")
    cp "$module" "$work/$name"
    t=$(best "$modrender" -o "$work/ours.wav" "$work/$name")
    ours=$(echo "$(audio "$work/ours.wav") / $t" | bc -l)
    t=$(best openmpt123 --quiet --render --force --filter 1 --samplerate 44100 "$work/$name")
    openmpt=$(echo "$(audio "$work/$name.wav") / $t" | bc -l)
    t=$(best xmp -q -i nearest -f 44100 -o "$work/xmp.wav" "$work/$name")
    xmp=$(echo "$(audio "$work/xmp.wav") / $t" | bc -l)
    printf '%-30s %10.0f %10.0f %10.0f %9.2f %9.2f\n' "$name" "$ours" "$openmpt" "$xmp" \
        "$(echo "$ours / $openmpt" | bc -l)" "$(echo "$ours / $xmp" | bc -l)"
done
