#!/bin/sh
# capture's own peak memory (VmHWM, ffmpeg not counted) and wall time for a
# run, read from /proc while it runs; the last reading before it ends is the
# peak, as the high-water mark only grows.
#
# usage: bench/capture/capture_memory.sh CAPTURE [ARGS...]   (in a folder with data/)
# e.g.   bench/capture/capture_memory.sh build/tools/capture/capture --video /tmp/show.mp4
set -eu
start=$(date +%s.%N)
"$@" &
pid=$!
peak=0
while kill -0 "$pid" 2>/dev/null; do
  hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$hwm" ] && peak=$hwm
  sleep 0.1
done
status=0
wait "$pid" || status=$?
end=$(date +%s.%N)
echo "status $status  peak RSS $((peak / 1024)) MB  wall $(echo "$end - $start" | bc) s  load $(cut -d' ' -f1-3 /proc/loadavg)"
