#!/bin/sh
# The video's quality: the average PSNR (ffmpeg's psnr filter, on the YUV 4:2:0 planes the video holds) of one
# frame a second of a capture video at 60 fps against the same frames written
# as PNG by capture and scaled to 1280x960 by nearest neighbour, as the video
# scales them.
#
# usage: bench/capture/video_psnr.sh CAPTURE VIDEO.mp4   (in a folder with data/)
set -eu
capture=$1
video=$2
ref=$(mktemp -d)
trap 'rm -rf "$ref"' EXIT
frames=$(ffprobe -v error -count_packets -select_streams v -show_entries stream=nb_read_packets -of csv=p=0 "$video")
at=$(awk -v n="$frames" 'BEGIN { for (s = 0; s * 60 < n; s++) printf "%s%d", (s ? "," : ""), s * 1000 }')
"$capture" --at "$at" --frames "$ref"
ffmpeg -hide_banner -nostats -i "$video" -framerate 1 -pattern_type glob -i "$ref/*.png" -lavfi \
  "[0:v]select='not(mod(n\,60))',setpts=N/TB,format=yuv420p[a];[1:v]scale=1280:960:flags=neighbor,setpts=N/TB,format=yuv420p[b];[a][b]psnr" \
  -f null - 2>&1 | grep -o 'PSNR.*'
