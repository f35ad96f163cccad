#!/bin/sh
# Writes the MP4, M4A and 3GP fixtures of the tag tests with ffmpeg and AtomicParsley.
# Run from anywhere; the files land beside this script. The tools' output is committed, so the
# tests do not depend on the tool versions installed later.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -v error -y "$@"; }

ff -f lavfi -i "color=c=red:s=16x16" -frames:v 1 "$work/cover.png"
ff -f lavfi -i "color=c=blue:s=16x16" -frames:v 1 "$work/cover.jpg"
ff -f lavfi -i "sine=frequency=440:duration=0.5" -c:a aac -b:a 32k "$work/plain.m4a"

# ffmpeg's own items: moov behind mdat by default, in front of it with faststart.
tags="-metadata title=Ffmpeg-Title -metadata artist=Ffmpeg-Artist -metadata album=Ffmpeg-Album \
 -metadata genre=Ambient -metadata date=2009 -metadata track=5/12 -metadata composer=Ffmpeg-Composer"
# shellcheck disable=SC2086
ff -i "$work/plain.m4a" -i "$work/cover.png" -map 0 -map 1 -c copy -disposition:v attached_pic $tags \
  ffmpeg-moov-last.m4a
# shellcheck disable=SC2086
ff -i "$work/plain.m4a" -i "$work/cover.png" -map 0 -map 1 -c copy -disposition:v attached_pic $tags \
  -movflags +faststart ffmpeg-moov-first.m4a

# AtomicParsley: a numeric genre, track and total, two covers and a free-form lookup identifier.
ff -i "$work/plain.m4a" -c copy -movflags +faststart "$work/fast.m4a"
AtomicParsley "$work/fast.m4a" --title "Parsley Title" --artist "Parsley Artist" --album "Parsley Album" \
  --genre "Rock" --year 2008 --tracknum 3/10 --composer "Parsley Composer" \
  --artwork "$work/cover.jpg" --artwork "$work/cover.png" \
  --rDNSatom "LOOKUP-0123" name=gnid domain=com.apple.iTunes -o atomicparsley.m4a >/dev/null

# A movie with an ID3v2 tag in moov/meta/ID32.
ff -f lavfi -i "testsrc=size=64x48:rate=10:duration=0.5" -f lavfi -i "sine=duration=0.5" \
  -c:v mpeg4 -c:a aac -b:a 32k -movflags +faststart "$work/movie.mp4"
AtomicParsley "$work/movie.mp4" --ID3Tag TIT2 "Id3 Title" --ID3Tag TPE1 "Id3 Artist" \
  --ID3Tag TALB "Id3 Album" --ID3Tag APIC "$work/cover.png" imagetype=0x03 -o atomicparsley-id32.mp4 >/dev/null

# 3GP asset boxes, by ffmpeg and by AtomicParsley (an album with a track number).
ff -f lavfi -i "testsrc=size=176x144:rate=10:duration=0.5" -f lavfi -i "sine=duration=0.5" \
  -c:v h263 -c:a aac -b:a 32k -ar 16000 -ac 1 -metadata title=Ffmpeg-Title -metadata artist=Ffmpeg-Artist \
  -metadata album=Ffmpeg-Album -metadata genre=Ambient -metadata date=2009 -movflags +faststart ffmpeg.3gp
ff -i ffmpeg.3gp -c copy -map_metadata -1 -movflags +faststart "$work/plain.3gp"
AtomicParsley "$work/plain.3gp" --3gp-title "Greatest" --3gp-performer "Parsley Artist" --3gp-genre "Rock" \
  --3gp-album "Greatest" trknum=7 --3gp-year 2007 -o atomicparsley.3gp >/dev/null
