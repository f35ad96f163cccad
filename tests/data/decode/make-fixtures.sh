#!/usr/bin/env bash
# Regenerates the decoder fixtures in this folder from synthetic tones (no outside recordings).
# Needs ffmpeg and lame (scripts/packages.d/decode.txt).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 3 s of a 440 Hz tone, 44.1 kHz stereo 16-bit: the source of the compressed fixtures.
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=3" -ac 2 -c:a pcm_s16le "$tmp/tone.wav"

# MP3 with an ID3v2 tag and the encoder's Xing/LAME information frame first (lame writes it).
lame --quiet -b 128 --add-id3v2 --tt "Fixture tone" --ta "Quillbay tests" "$tmp/tone.wav" tone-id3-lame.mp3

# WMA (Windows Media Audio 2 in ASF).
ffmpeg -v error -y -i "$tmp/tone.wav" -c:a wmav2 -b:a 64k -fflags +bitexact tone.wma

# A small WAV: 2 s mono 22.05 kHz 16-bit, decoded as is and fed to the stand-in decoders.
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=2" -ac 1 -c:a pcm_s16le \
  -fflags +bitexact -flags:a +bitexact tone-mono.wav
