#!/usr/bin/env bash
# Writes the small Windows Media files the reader probe tests open. Run it again after changing a
# line here and commit the files it writes (ffmpeg from scripts/packages.d/wmprobe.txt).
set -euo pipefail
cd "$(dirname "$0")"
exact=(-fflags +bitexact -flags:a +bitexact -flags:v +bitexact -map_metadata -1)
encode() { ffmpeg -v error -y "$@"; }

# Audio only: two layouts and rates so a test sees each value come through.
encode -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1" -ac 2 \
  -c:a wmav2 -b:a 64k "${exact[@]}" stereo_44100.wma
encode -f lavfi -i "sine=frequency=330:sample_rate=22050:duration=1" -ac 1 \
  -c:a wmav1 -b:a 32k "${exact[@]}" mono_22050.wma

# Video with an audio stream, and video alone.
encode -f lavfi -i "testsrc=size=160x120:rate=10:duration=0.5" \
  -f lavfi -i "sine=frequency=440:sample_rate=32000:duration=0.5" -ac 1 \
  -c:v wmv2 -b:v 100k -c:a wmav2 -b:a 32k "${exact[@]}" video_160x120_mono_32000.wmv
encode -f lavfi -i "testsrc=size=176x144:rate=10:duration=0.5" -an \
  -c:v wmv2 -b:v 100k "${exact[@]}" video_only_176x144.wmv
