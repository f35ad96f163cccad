#!/usr/bin/env bash
# End-to-end check of the movie conversion in Wine: the converter runs in a program folder of its
# own beside the program's filters and the Windows Media stand-in (placed as wmvcore.dll, its ASF
# writer registered for the run), renders generated movies through Wine's own filters with an ALSA
# null device and an X display, and ffprobe reads the written files.
# Usage: end_to_end.sh <folder of the built programs>
set -euo pipefail
bin=$(cd "$1" && pwd)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/env.sh"
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a bash "${BASH_SOURCE[0]}" "$@"
fi

source "$root/tests/convert_run/conversion_folder.sh"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

make_conversion_folder movie_convert_runner.exe || fail "registering the ASF writer stand-in"

# Movies: stereo PCM with Motion JPEG pictures, a wide one, one with six channels, one without
# pictures, and one in the
# stand-ins' raw format, which only the stand-in of the outside video decoder reads (the conversion
# then puts the program's video filter and the colour space converter behind that decoder).
ffmpeg -v error -y -f lavfi -i "testsrc2=size=640x480:rate=10" -f lavfi -i "sine=frequency=440:sample_rate=44100" \
  -t 3 -c:v mjpeg -q:v 5 -c:a pcm_s16le -ac 2 "$work/clip.avi"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=720x480:rate=10" -f lavfi -i "sine=frequency=330:sample_rate=44100" \
  -t 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le -ac 2 "$work/wide.avi"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x240:rate=10" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
  -t 2 -c:v mjpeg -q:v 5 -c:a pcm_s16le -ac 6 "$work/surround.avi"
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100" -t 2 -c:a pcm_s16le -ac 2 "$work/sound.wav"
le32() {  # 32-bit little-endian fields
  local field
  for field in "$@"; do
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((field & 255)) $((field >> 8 & 255)) $((field >> 16 & 255)) $((field >> 24)))"
  done
}
{
  printf 'QBY2'
  le32 640 480 10  # width, height, frames a second
  ffmpeg -v error -f lavfi -i "testsrc2=size=640x480:rate=10" -t 2 -pix_fmt yuyv422 -f rawvideo -
} >"$work/decoded.qbm"
# The stand-ins' AC-3 format: "QBA3", channels, sample rate, bits, data bytes, pause between
# samples in ms, then the data (stereo 16-bit 44.1 kHz here: 176,400 bytes a second).
ac3_header() { printf 'QBA3'; le32 2 44100 16 "$1" "${2:-0}"; }
sine_pcm() { ffmpeg -v error -f lavfi -i "sine=frequency=440:sample_rate=44100" -t "$1" -ac 2 -f s16le -; }
{ ac3_header 176400; sine_pcm 1; } >"$work/ac3.qbm"
mkdir -p "$work/reference"
{ ac3_header 176400; sine_pcm 1; } >"$work/reference/signal.dat"
{ ac3_header 352800; head -c 352800 /dev/zero; } >"$work/reference/silent.dat"
{ ac3_header 35280; head -c 35280 /dev/zero; } >"$work/reference/short.dat"
{ ac3_header 352800; head -c 35280 /dev/zero; } >"$work/reference/truncated.dat"
# Two seconds between samples of 8 KiB: a decision would take about twenty seconds.
{ ac3_header 352800 2000; head -c 352800 /dev/zero; } >"$work/reference/slow.dat"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=320x240:rate=10" -f lavfi -i "sine=frequency=440:sample_rate=44100" \
  -t 120 -c:v mjpeg -q:v 10 -c:a pcm_s16le -ac 2 "$work/long.avi"

# Runs the converter; its report goes to $work/<name>.log.
convert() {
  local name=$1 source=$2 output=$3
  shift 3
  (cd "$work/app" && HOME="$work/home" timeout 300 "$wine_loader" movie_convert_runner.exe "$(win "$source")" \
    "$(win "$output")" "$@" </dev/null 2>/dev/null | tr -d '\r' >"$work/$name.log") || true
}
value() { sed -n "s/^$2 //p" "$work/$1.log" | tail -1; }

# Progress starts at 0, ends at 100 and never goes back.
check_progress() {
  local name=$1
  local values
  values=$(sed -n 's/^progress //p' "$work/$name.log" | tr '\n' ' ')
  [[ "$values" == "0 "* && "$values" == *" 100 " ]] || fail "$name: progress $values"
  sort -n -c <(sed -n 's/^progress //p' "$work/$name.log") 2>/dev/null || fail "$name: progress goes back: $values"
}

# A source's length in seconds, as ffprobe reads it.
source_length() { ffprobe -v error -show_entries format=duration -of csv=p=0 "$1"; }

# How long each stream of a written file runs, one "stream seconds" line each: its last packet's
# time plus the step before it (the packets' own durations are not read back).
written_lengths() {
  ffprobe -v error -show_entries packet=stream_index,pts_time -of csv=p=0 "$1" | awk -F, '
    { if (!($1 in last) || $2 + 0 > last[$1]) { before[$1] = ($1 in last) ? last[$1] : $2; last[$1] = $2 + 0 } }
    END { for (stream in last) printf "%s %.3f\n", stream, 2 * last[stream] - before[stream] }' | sort -n
}

# The written file describes the expected streams, and each stream the source feeds (sound and
# pictures unless told) runs as long as the source (within 0.15 s): a conversion that delivered
# nothing, or stopped early, fails here.
check_asf() {
  local name=$1 file=$2 width=$3 height=$4 length=$5 fed=${6:-0 1}
  local streams lengths stream seconds
  streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,channels,sample_rate -of csv=p=0 "$file" | tr '\n' ' ') ||
    fail "$name: ffprobe cannot read $file"
  [[ "$streams" == "wmav2,44100,2 wmv3,$width,$height " ]] || fail "$name: streams '$streams'"
  [[ "$(ffprobe -v error -show_entries format=format_name -of csv=p=0 "$file")" == asf ]] || fail "$name: not ASF"
  lengths=$(written_lengths "$file")
  echo "$name: source ${length} s, written (stream seconds): $(echo "$lengths" | tr '\n' ' ')"
  [[ "$(echo "$lengths" | cut -d' ' -f1 | tr '\n' ' ')" == "$fed " ]] || fail "$name: packets of streams '$lengths'"
  while read -r stream seconds; do
    awk -v written="$seconds" -v source="$length" 'BEGIN { d = written - source; exit !(d <= 0.15 && d >= -0.15) }' ||
      fail "$name: stream $stream runs $seconds s of the source's $length s"
  done <<<"$lengths"
}

convert clip "$work/clip.avi" "$work/clip.wmv" 320 240
[[ "$(value clip result)" == 0x00000000 ]] || fail "clip: result $(value clip result)"
[[ "$(value clip encode)" == 320x240 ]] || fail "clip: encode size $(value clip encode)"
check_progress clip
check_asf clip "$work/clip.wmv" 320 240 "$(source_length "$work/clip.avi")"

convert wide "$work/wide.avi" "$work/wide.wmv" 320 240
[[ "$(value wide result)" == 0x00000000 ]] || fail "wide: result $(value wide result)"
check_asf wide "$work/wide.wmv" 320 208 "$(source_length "$work/wide.avi")"

convert decoded "$work/decoded.qbm" "$work/decoded.wmv" 320 240
[[ "$(value decoded result)" == 0x00000000 ]] || fail "decoder branch: result $(value decoded result)"
# Twenty frames at ten a second, and no sound in that format.
check_asf decoded "$work/decoded.wmv" 320 240 2 1

# Six channels at 48 kHz need the sample-rate conversion filter beside the program.
convert missing "$work/surround.avi" "$work/missing.wmv" 320 240
[[ "$(value missing result)" == 0x80004005 ]] || fail "no sample-rate filter: result $(value missing result), not E_FAIL"
cp "$bin/TavrelFsConvFilter.ax" "$work/app/"
convert surround "$work/surround.avi" "$work/surround.wmv" 320 240
[[ "$(value surround result)" == 0x00000000 ]] || fail "surround: result $(value surround result)"
check_asf surround "$work/surround.wmv" 320 240 "$(source_length "$work/surround.avi")"

convert sound "$work/sound.wav" "$work/sound.wmv" 320 240
[[ "$(value sound result)" == 0x80040209 ]] || fail "no video: result $(value sound result), not VFW_E_NOT_CONNECTED"
grep -qx error "$work/sound.log" || fail "no video: no error report"

convert long "$work/long.avi" "$work/long.wmv" 320 240 --abort
[[ "$(value long result)" == 0x00000001 ]] || fail "abort: result $(value long result), not S_FALSE"
aborted_ms=$(value long abort_ms)
[[ -n "$aborted_ms" && "$aborted_ms" -lt 3000 ]] || fail "abort: Start returned $aborted_ms ms after Abort"
check_progress long

# A longer movie runs through several polls of the run: progress shows values between the ends.
convert full "$work/long.avi" "$work/full.wmv" 320 240
[[ "$(value full result)" == 0x00000000 ]] || fail "full: result $(value full result)"
check_progress full
check_asf full "$work/full.wmv" 320 240 "$(source_length "$work/long.avi")"
# The run is polled every half second: a run that spans three polls shows values in between.
if (($(value full run_ms) >= 1500)); then
  sed -n 's/^progress //p' "$work/full.log" | grep -qxE '[1-9]|[1-9][0-9]' || fail "full: no progress between 0 and 100"
fi

# Abort from another thread, again and again, while conversions start, build and run: no run
# that an Abort reached while it ran completes, every run ends aborted or complete, and the process
# lives on. (An Abort that lands before a run resets its abort event is lost by design.)
convert storm "$work/long.avi" "$work/storm.wmv" 320 240 --abort-storm 12
[[ "$(value storm storm_completed_after_abort)" == 0 ]] ||
  fail "abort storm: $(value storm storm_completed_after_abort) runs completed after an abort"
storm_aborted=$(value storm storm_aborted)
echo "abort storm: aborted $storm_aborted, completed $(value storm storm_completed)"
storm_aborted=${storm_aborted%% *}
[[ -n "$storm_aborted" ]] && (( storm_aborted >= 1 && storm_aborted + $(value storm storm_completed) == 12 )) ||
  fail "abort storm: aborted $(value storm storm_aborted), completed $(value storm storm_completed)"

# The reference check of the AC-3 decoding, on the graph of a movie with AC-3 audio. Each case
# puts its reference beside the program; the reference graph is torn down every time (only the
# movie's own graph holds an AC-3 source afterwards) and releases the file.
reference_check() {
  local name=$1 reference=$2 limit=$3 result=$4 signal=$5
  rm -f "$work/app/Calib.dat"
  [[ -z "$reference" ]] || cp "$work/reference/$reference" "$work/app/Calib.dat"
  convert "$name" "$work/ac3.qbm" "$work/unused.wmv" 320 240 --reference "$limit"
  [[ "$(value "$name" reference_result)" == "$result" ]] || fail "$name: result $(value "$name" reference_result), not $result"
  [[ "$(value "$name" tested)" == 1 && "$(value "$name" signal)" == "$signal" ]] ||
    fail "$name: tested $(value "$name" tested), signal $(value "$name" signal), not $signal"
  [[ "$(value "$name" again_result)" == "$result" ]] || fail "$name: the second check gave $(value "$name" again_result)"
  [[ "$(value "$name" ac3_sources_alive)" == 1 && "$(value "$name" ac3_sources_after)" == 0 ]] ||
    fail "$name: AC-3 sources alive $(value "$name" ac3_sources_alive), after $(value "$name" ac3_sources_after)"
  if [[ -n "$reference" ]]; then
    [[ "$(value "$name" reference_deleted)" == 1 ]] || fail "$name: the reference stays open"
  fi
}
# Decided either way within the default limit.
reference_check ref_signal signal.dat 20000 0x00000000 1
reference_check ref_silent silent.dat 20000 0x80004005 0
# Undecided ends count as a signal, and they end the check long before the default limit of 20 s:
# the reference ends too early, fails part way, or (with a limit of 0.3 s) streams too slowly.
reference_check ref_short short.dat 20000 0x00000000 1
reference_check ref_truncated truncated.dat 20000 0x00000000 1
reference_check ref_slow slow.dat 300 0x00000000 1
for name in ref_short ref_truncated ref_slow; do
  ms=$(value "$name" reference_ms)
  [[ -n "$ms" && "$ms" -lt 10000 ]] || fail "$name: the check took $ms ms"
done
reference_check ref_missing "" 20000 0x00000000 1
# A movie without AC-3 audio leaves the reference alone.
convert ref_none "$work/clip.avi" "$work/unused.wmv" 320 240 --reference 20000
[[ "$(value ref_none reference_result)" == 0x00000000 && "$(value ref_none tested)" == 0 ]] ||
  fail "ref_none: result $(value ref_none reference_result), tested $(value ref_none tested)"

for log in clip wide decoded missing surround sound long full storm ref_signal ref_silent ref_short ref_truncated ref_slow ref_missing ref_none; do
  echo "--- $log"
  cat "$work/$log.log"
done
if ((failures)); then
  echo "end-to-end conversion: $failures failures"
  exit 1
fi
echo "end-to-end conversion: all checks passed"
