#!/usr/bin/env bash
# A movie through the coordinator's whole chain onto the simulated MTP player, converted on the
# way: the test program runs in a program folder of its own beside the conversion filters and the
# Windows Media stand-in (placed as wmvcore.dll, its ASF writer registered for the run), with an
# ALSA null device and an X display for the platform's renderers; ffprobe reads what the player got.
# Usage: converted_video.sh <folder of the built programs>
set -euo pipefail
bin=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
source "$root/scripts/env.sh"
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a bash "${BASH_SOURCE[0]}" "$@"
fi

source "$root/tests/convert_run/conversion_folder.sh"
make_conversion_folder coordinator_e2e_tests.exe wpdstandin.dll
mkdir -p "$work/kept"

# Three seconds of Motion JPEG pictures with stereo sound: a movie the player cannot play.
ffmpeg -v error -y -f lavfi -i "testsrc2=size=640x480:rate=10" -f lavfi -i "sine=frequency=440:sample_rate=44100" \
  -t 3 -c:v mjpeg -q:v 5 -c:a pcm_s16le -ac 2 "$work/clip.avi"

(cd "$work/app" && WINEDEBUG="${QB_E2E_WINEDEBUG:--all}" HOME="$work/home" QB_E2E_MOVIE="$(win "$work/clip.avi")" QB_E2E_KEEP="$(win "$work/kept")" \
  timeout 900 "$wine_loader" coordinator_e2e_tests.exe \
  --gtest_filter=CoordinatorConversionEndToEndTest.AMovieIsConvertedOnTheWayToThePlayer </dev/null)

file="$work/kept/clip.wmv"
[[ -s "$file" ]] || { echo "FAIL: the player's copy was not kept"; exit 1; }
format=$(ffprobe -v error -show_entries format=format_name -of csv=p=0 "$file")
streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,channels,sample_rate -of csv=p=0 "$file" |
  tr '\n' ' ')
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
echo "on the player: $format, streams '$streams', $seconds s"
failures=0
[[ "$format" == asf ]] || { echo "FAIL: not ASF"; failures=1; }
# Windows Media sound and pictures in the player's size (320 x 240 when it states none).
[[ "$streams" == "wmav2,44100,2 wmv3,320,240 " ]] || { echo "FAIL: streams '$streams'"; failures=1; }
awk -v s="$seconds" 'BEGIN { exit !(s > 2.5 && s < 3.5) }' || { echo "FAIL: $seconds s of a 3 s movie"; failures=1; }
exit $failures
