#!/bin/sh
# Writes the fixtures of the media probe tests from synthetic tones and test pictures (no outside
# recordings) with ffmpeg, lame, AtomicParsley and python3-mutagen. The output is committed, so
# the tests do not depend on the tool versions installed later.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ff() { ffmpeg -nostdin -v error -y -fflags +bitexact "$@"; }

ff -f lavfi -i "color=c=red:s=16x16" -frames:v 1 "$work/cover.png"
ff -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1" -ac 2 -c:a pcm_s16le "$work/stereo.wav"
ff -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1" -ac 1 -c:a pcm_s16le "$work/mono.wav"

# MP3: one without any tag, one with every item, a picture, the mood payload and a lookup id.
lame --quiet -b 64 "$work/mono.wav" plain.mp3
lame --quiet -b 128 "$work/stereo.wav" "$work/tagged.mp3"
/usr/bin/python3 "$here/add_tags.py" mp3 "$work/tagged.mp3" "$work/cover.png" tagged.mp3

# M4A: ffmpeg's items and cover, then a lookup id; a lossless one; a mono one for the format.
ff -i "$work/stereo.wav" -i "$work/cover.png" -map 0 -map 1 -c:a aac -b:a 64k -c:v copy \
  -disposition:v attached_pic -metadata title="M4a Title" -metadata artist="M4a Artist" \
  -metadata album="M4a Album" -metadata composer="M4a Writer" -metadata date=2011 \
  -metadata track=3/9 -metadata genre=Jazz -movflags +faststart "$work/tagged.m4a"
AtomicParsley "$work/tagged.m4a" --rDNSatom "LOOKUP-M4A-0002" name=gnid domain=com.apple.iTunes \
  -o tagged.m4a >/dev/null
ff -i "$work/stereo.wav" -c:a alac alac.m4a

# MP4 movies: the profile box of the portable player layout with H.264 Main or MPEG-4 visual,
# one without that box, and an ID3v2 tag inside moov of the H.264 one.
ff -f lavfi -i "testsrc=size=160x120:rate=10:duration=1" -i "$work/stereo.wav" -c:v libx264 \
  -profile:v main -pix_fmt yuv420p -c:a aac -b:a 64k -ar 44100 -f psp "$work/h264.mp4"
/usr/bin/python3 "$here/add_tags.py" mp4 "$work/h264.mp4" "$work/cover.png" "$work/h264-id3.mp4"
# The movie layout reads no lookup id from its ID3v2 tag: the item list's free-form one serves.
AtomicParsley "$work/h264-id3.mp4" --rDNSatom "LOOKUP-MP4-0003" name=gnid domain=com.apple.iTunes \
  -o h264-main.mp4 >/dev/null
ff -f lavfi -i "testsrc=size=176x144:rate=10:duration=1" -i "$work/mono.wav" -c:v mpeg4 \
  -c:a aac -b:a 32k -f psp mpeg4-visual.mp4
ff -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" -c:v mpeg4 no-profile.mp4

# 3GP asset boxes.
ff -f lavfi -i "testsrc=size=176x144:rate=10:duration=1" -i "$work/mono.wav" -c:v h263 -c:a aac \
  -b:a 32k -ar 16000 -metadata title="Gp Title" -metadata artist="Gp Artist" -metadata album="Gp Album" \
  -metadata date=2007 tagged.3gp

# Windows Media: audio with ASF text items, and a movie.
ff -i "$work/stereo.wav" -c:a wmav2 -b:a 64k -metadata title="Wma Title" -metadata artist="Wma Artist" \
  -metadata album="Wma Album" "$work/tagged.wma"
/usr/bin/python3 "$here/add_tags.py" wma "$work/tagged.wma" "$work/cover.png" tagged.wma
ff -f lavfi -i "testsrc=size=160x120:rate=25:duration=1" -i "$work/mono.wav" -c:v wmv2 -b:v 200k \
  -c:a wmav2 -b:a 32k movie.wmv
