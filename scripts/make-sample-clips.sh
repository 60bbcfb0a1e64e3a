#!/usr/bin/env bash
# Writes a few short sample clips into DIR the way a logger gets them: a camera records them onto its card
# (an H.264 MP4 with sound, a ProRes MOV with drop-frame timecode, a DNxHR MXF and an MPEG-2 MXF), writing
# each clip's recording start and time-of-day start timecode into its header, and the clips are then
# offloaded from the card with `cp -a`. The copies' birth time is the moment of the copy; only the
# clips' own metadata still knows when they were recorded (a couple of hours before the first run).
# Clips already there are kept, so a second run is instant.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 DIR" >&2; exit 2; }
dir=${1%/}
card="$(dirname "$dir")/camera card"
recipe="$dir/.sample-clips-2" # clips of an older recipe, without metadata, are made again
seconds=20
names=(A001C001_H264.MP4 A001C002_PRORES.MOV A001C003_DNXHR.MXF A001C004_MPEG2.MXF)

all_there=1
for name in "${names[@]}"; do [ -s "$dir/$name" ] || all_there=0; done
if [ -e "$recipe" ] && [ "$all_there" -eq 1 ]; then
    echo "Sample clips in $dir"
    exit 0
fi
rm -rf "$card"
mkdir -p "$card" "$dir"
for name in "${names[@]}"; do rm -f "$dir/$name"; done

# The shoot began two hours ago, at 17 seconds past a minute; a clip every seven minutes.
start=$(($(date +%s) - 2 * 3600))
start=$((start - start % 60 + 17))

record() { # INDEX NAME SIZE RATE TIMECODE-SEPARATOR FFMPEG-OUTPUT-OPTIONS...
    local index=$1 name=$2 size=$3 rate=$4 separator=$5
    shift 5
    local at=$((start + index * 7 * 60))
    local timecode
    timecode="$(date -d "@$at" +%H:%M:%S)${separator}00"
    ffmpeg -loglevel error -nostdin -y \
        -f lavfi -i "testsrc2=size=$size:rate=$rate:duration=$seconds" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" \
        -metadata creation_time="$(date -u -d "@$at" +%Y-%m-%dT%H:%M:%SZ)" -timecode "$timecode" \
        "$@" -shortest "$card/.$name.partial"
    mv "$card/.$name.partial" "$card/$name"
    # The camera closes the file when the take ends.
    touch -d "@$((at + seconds))" "$card/$name"
}

record 0 A001C001_H264.MP4 640x360 25 : -f mp4 -c:v libx264 -pix_fmt yuv420p -preset veryfast -c:a aac
record 1 A001C002_PRORES.MOV 640x360 30000/1001 ';' -f mov -c:v prores_ks -profile:v 1 -c:a pcm_s16le
record 2 A001C003_DNXHR.MXF 1280x720 25 : -f mxf -c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p -c:a pcm_s16le
record 3 A001C004_MPEG2.MXF 720x576 25 : -f mxf -c:v mpeg2video -pix_fmt yuv422p -b:v 8M -c:a pcm_s16le

# The offload: what every logger does with a card before logging it.
cp -a "$card/." "$dir/"
touch "$recipe"
echo "Sample clips in $dir (offloaded from \"$card\")"
