#!/bin/sh
# Runs the fuzz targets of a fuzz build (see CMakeLists.txt here):
#   tests/fuzz/run.sh BUILD DATA SECONDS
# BUILD is the fuzz build directory, DATA the show's generated data/ (the
# seeds start from it). Every seed and every kept regression file is replayed
# once, then each target fuzzes for SECONDS of wall time, all three side by
# side. The status is nonzero when any input crashes; crashing inputs are
# left in BUILD/fuzz-crashes. SECONDS of 0 replays only.
set -eu
build=$(cd "$1" && pwd)
data=$2
seconds=$3
here=$(cd "$(dirname "$0")" && pwd)

corpus=$build/fuzz-corpus
crashes=$build/fuzz-crashes
rm -rf "$corpus"
mkdir -p "$crashes"
"$build/tests/fuzz/fuzz_seeds" "$data" "$corpus"
# Debian's modules are seeds too; they are fetched, never kept in the tree.
if sh "$here/../player/fetch_modules.sh" "$build/test-modules"; then
    cp "$build"/test-modules/*.mod "$corpus/module/"
else
    echo "fuzz: Debian's modules could not be fetched; seeding without them" >&2
fi

dict() {
    [ -f "$here/$1.dict" ] && echo "-dict=$here/$1.dict" || true
}

status=0
for target in module png mesh; do
    echo "fuzz_$target: replaying $(ls "$corpus/$target" | wc -l) seeds and $(ls "$here/regressions/$target" | wc -l) regressions"
    "$build/tests/fuzz/fuzz_$target" -runs=0 -artifact_prefix="$crashes/$target-" \
        "$corpus/$target" "$here/regressions/$target" >"$build/fuzz-$target-replay.log" 2>&1 || {
        tail -30 "$build/fuzz-$target-replay.log"
        status=1
    }
done
[ "$status" -eq 0 ] || exit 1
[ "$seconds" -gt 0 ] || exit 0

pids=""
for target in module png mesh; do
    "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
        $(dict "$target") -artifact_prefix="$crashes/$target-" "$corpus/$target" \
        >"$build/fuzz-$target.log" 2>&1 &
    pids="$pids $!"
done
for pid in $pids; do
    wait "$pid" || status=1
done
for target in module png mesh; do
    echo "fuzz_$target: $(grep -E '^Done|^#[0-9]+ +DONE' "$build/fuzz-$target.log" | tr '\n' ' ')"
done
if [ "$status" -ne 0 ]; then
    grep -h -A20 -E 'ERROR|broken' "$build"/fuzz-*.log | head -60
    echo "fuzz: crashing inputs are in $crashes; keep each under tests/fuzz/regressions once fixed" >&2
fi
exit "$status"
