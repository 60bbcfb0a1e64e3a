#!/usr/bin/env bash
# Writes a few short sample clips into DIR, as a camera card would hold them: an H.264 MP4 with sound, a
# ProRes MOV, a DNxHR MXF and an MPEG-2 MXF. Clips already there are kept, so a second run is instant.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dir=$1
mkdir -p "$dir"
seconds=20

make_clip() { # NAME SIZE FFMPEG-OUTPUT-OPTIONS...
    local name=$1 size=$2
    shift 2
    [ -s "$dir/$name" ] && return
    ffmpeg -loglevel error -nostdin -y \
        -f lavfi -i "testsrc2=size=$size:rate=25:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" \
        "$@" -shortest "$dir/.$name.partial" && mv "$dir/.$name.partial" "$dir/$name"
}

make_clip A001C001_H264.MP4 640x360 -f mp4 -c:v libx264 -pix_fmt yuv420p -preset veryfast -c:a aac
make_clip A001C002_PRORES.MOV 640x360 -f mov -c:v prores_ks -profile:v 1 -c:a pcm_s16le
make_clip A001C003_DNXHR.MXF 1280x720 -f mxf -c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p -c:a pcm_s16le
make_clip A001C004_MPEG2.MXF 720x576 -f mxf -c:v mpeg2video -pix_fmt yuv422p -b:v 8M -c:a pcm_s16le
echo "Sample clips in $dir"
