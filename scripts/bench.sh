#!/usr/bin/env bash
# Builds the Windows build and runs every benchmark program under Wine; each prints its figures.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/setup.sh"
configure_and_build_windows
trap 'stop_wine' EXIT
start_wine
# The analysis benchmark compares its decoding with ffmpeg's on the same song, 40 times over in one
# process.
song="$root/tests/data/decode/tone-id3-lame.mp3"
start=$(date +%s.%N)
ffmpeg -v error -nostdin -stream_loop 39 -i "$song" -f null -
export QB_FFMPEG_DECODE_RATE=$(awk -v start="$start" -v now="$(date +%s.%N)" 'BEGIN { print 40 * 3 / (now - start) }')
shopt -s nullglob
for bench in "$win_build"/bin/bench_*.exe; do
  echo "== $(basename "$bench" .exe)"
  (cd "$win_build/bin" && "$wine_loader" "$bench" </dev/null)
done
