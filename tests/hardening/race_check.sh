#!/bin/sh
# The demo of a ThreadSanitizer build, run on Xvfb while Space is pressed and
# released, with a sound device (SDL's disk driver, whose thread calls the
# player as a sound card's would) and with none (the player's own pump on
# SDL's timer thread). Any report fails the check.
#   tests/hardening/race_check.sh TSAN_BUILD SHOW_DIR SECONDS
# SHOW_DIR holds the data/ directory the demo reads.
set -eu
build=$(cd "$1" && pwd)
show=$2
seconds=$3
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -1 "$work/display")"

# SDL alone first: the one report the suppressions name must be SDL's own.
TSAN_OPTIONS=halt_on_error=0 "$build/tests/hardening/sdl_timer_minimal" 2>"$work/sdl.log" || true
if grep -q "SUMMARY: ThreadSanitizer: data race .* in SDL_mutexP" "$work/sdl.log"; then
    echo "race check: SDL alone reports its timer's race in SDL_mutexP (suppressed below)"
else
    echo "race check: SDL alone no longer reports the race in SDL_mutexP; drop it from tsan.supp" >&2
fi

cp -r "$show/data" "$work/data"
failed=0
run() {
    audio=$1
    log="$work/tsan-$audio.log"
    (cd "$work" && SDL_AUDIODRIVER=$audio SDL_DISKAUDIOFILE="$work/sound.raw" \
        TSAN_OPTIONS="halt_on_error=0 suppressions=$here/tsan.supp" \
        exec "$build/demo" -w 2>"$log") &
    pid=$!
    window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Kirmavo$' | head -1)
    xdotool windowfocus --sync "$window"
    # Space for a tenth of every second: a fast-forward at each press and
    # release, without running into the end of the show.
    end=$(($(date +%s) + seconds))
    while [ "$(date +%s)" -lt "$end" ] && kill -0 "$pid" 2>/dev/null; do
        xdotool keydown space
        sleep 0.1
        xdotool keyup space
        sleep 0.9
    done
    kill -TERM "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
    reports=$(grep -c "WARNING: ThreadSanitizer" "$log" || true)
    echo "race check, audio $audio, $seconds s: exit status $status, $reports reports"
    if [ "$status" -ne 0 ] || [ "$reports" -ne 0 ]; then
        cat "$log"
        failed=1
    fi
}
run disk
run none
exit "$failed"
