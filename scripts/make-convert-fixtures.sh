#!/usr/bin/env bash
# Regenerates the small video fixtures of the conversion filter tests in tests/data/convert/
# with Debian's ffmpeg (scripts/packages.d/convert.txt). The outputs are committed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$root/tests/data/convert
mkdir -p "$out"
# Two raw YUY2 frames: a colour-bar pattern and a gradient, small enough to read at a glance.
ffmpeg -v error -y -f lavfi -i "smptebars=size=16x8:rate=1" -frames:v 1 -pix_fmt yuyv422 -f rawvideo \
  "$out/bars-16x8.yuy2"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=32x6:rate=1" -frames:v 1 -pix_fmt yuyv422 -f rawvideo \
  "$out/testsrc-32x6.yuy2"
