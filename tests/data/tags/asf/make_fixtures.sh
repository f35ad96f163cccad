#!/bin/sh
# Writes the ASF fixtures of the tag tests with Debian's ffmpeg and mutagen (python3-mutagen):
#   ffmpeg.wma, ffmpeg.wmv    tags written by ffmpeg's ASF muxer
#   plain.wma                 no tags at all beyond what the muxer always writes
#   cover.jpg, cover.png, cover.gif   small images (ffmpeg) for the pictures of mutagen.wma
#   mutagen.wma               tags written by mutagen into plain.wma (see mutagen_asf.py write)
# The sample files real_example.wma, lossless.wma and silence-1.wma come from a public tag
# library's test suite (licence texts in the folder above). Run from this folder.
set -e
common="-nostdin -y -v error -fflags +bitexact -flags:a +bitexact -flags:v +bitexact"
ffmpeg $common -f lavfi -i "sine=frequency=440:duration=1:sample_rate=22050" -ac 1 -c:a wmav2 -b:a 32k \
  -metadata title="Ffmpeg Title" -metadata artist="Ffmpeg Artist" -metadata album="Ffmpeg Album" \
  -metadata album_artist="Ffmpeg Band" -metadata genre="Jazz" -metadata date="2009" -metadata track="3" \
  ffmpeg.wma
ffmpeg $common -f lavfi -i "testsrc=size=64x48:rate=5:duration=1" \
  -f lavfi -i "sine=frequency=330:duration=1:sample_rate=22050" -ac 1 -c:v wmv2 -c:a wmav2 -b:a 32k \
  -metadata title="Video Title" -metadata artist="Video Artist" -metadata genre="Clips" ffmpeg.wmv
ffmpeg $common -f lavfi -i "sine=frequency=550:duration=1:sample_rate=22050" -ac 1 -c:a wmav2 -b:a 32k \
  -map_metadata -1 plain.wma
for format in jpg png gif; do
  ffmpeg $common -f lavfi -i "testsrc=size=16x16:rate=1" -frames:v 1 "cover.$format"
done
cp plain.wma mutagen.wma
/usr/bin/python3 ../../../tags/mutagen_asf.py write mutagen.wma cover.jpg cover.png cover.gif
