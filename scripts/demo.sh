#!/usr/bin/env bash
# Shows the program at work: makes the demo prefix (a simulated MTP player holding a few songs, a
# removable-drive player, the iTunes stand-in), starts Quillbay.exe in it on the user's display
# ($DISPLAY) or, without one, on a private Xvfb, then drops the project's sample songs onto its
# window the way the shell does (tests/tools/dropfiles) and waits until they are on the simulated
# player. Screenshots go to <build>/demo-screenshots: right after the drop, while the window shows
# the transfer, and once the songs are on the player.
#   demo.sh [--close]   --close: end the program afterwards (always done on a private display)
# Needs a built Windows build ($win_build, see env.sh).
set -euo pipefail
source "$(dirname "$0")/env.sh"
close=0
[[ "${1:-}" == --close ]] && close=1

bin=$win_build/bin
for program in Quillbay.exe QbDropFiles.exe; do
  [[ -f "$bin/$program" ]] || { echo "build the programs first: $bin/$program is missing" >&2; exit 1; }
done
prefix=${QB_DEMO_PREFIX:-$win_build/demo-prefix}
shots=$win_build/demo-screenshots
mkdir -p "$shots"
rm -f "$shots"/*.png

"$root/scripts/make-demo-prefix.sh" "$prefix"
export WINEPREFIX=$prefix
player=$WINEPREFIX/drive_c/QuillbayDemo/mtp-player
songs=$WINEPREFIX/drive_c/QuillbayDemo/songs-to-drop

if [[ -z "${DISPLAY:-}" ]]; then
  start_xvfb
  close=1
  echo "No display: Quillbay runs on a private Xvfb ($DISPLAY)"
fi
quillbay_pid=
finish() {
  if ((close)); then
    [[ -n "$quillbay_pid" ]] && kill "$quillbay_pid" 2>/dev/null || true
    wineserver -k </dev/null >/dev/null 2>&1 || true
    stop_xvfb
  fi
}
trap finish EXIT

wineserver -p </dev/null >/dev/null 2>&1
log=$shots/quillbay.log
"$wine_loader" "$bin/Quillbay.exe" </dev/null >"$log" 2>&1 &
quillbay_pid=$!

marker=$(mktemp)
mapfile -t drop < <(for song in "$songs"/*.mp3; do "$wine_loader" winepath -w "$song" 2>/dev/null; done)
shot_win=$("$wine_loader" winepath -w "$shots/1-transfer.png" 2>/dev/null)
echo "Dropping ${#drop[@]} songs onto the window"
dropped=0
"$wine_loader" "$bin/QbDropFiles.exe" --wait 120 --shot "$shot_win" "${drop[@]}" </dev/null && dropped=1

# The songs are on the player once as many new files as were dropped have arrived there. The
# simulated player keeps what it receives as numbered data files beside its own songs.
deadline=$((SECONDS + 180))
((dropped)) || deadline=$SECONDS
arrived=0
while ((SECONDS < deadline)); do
  arrived=$(find "$player" -type f -newer "$marker" | wc -l)
  ((arrived >= ${#drop[@]})) && break
  sleep 1
done
# Let the window show the end of the run before the last picture.
sleep 2
import -display "$DISPLAY" -window root "$shots/2-done.png" 2>/dev/null ||
  echo "the screen could not be photographed" >&2
echo "Written to the simulated player ($player) by Quillbay:"
find "$player" -type f -newer "$marker" -printf '  %P, %s bytes\n' | sort
rm -f "$marker"
echo "Screenshots: $shots"
if ((arrived < ${#drop[@]})); then
  echo "Only $arrived of ${#drop[@]} songs reached the player; the program's output: $log" >&2
  exit 1
fi
[[ -s "$shots/1-transfer.png" ]] || { echo "The window was not photographed during the transfer" >&2; exit 1; }
if ((!close)); then
  echo "Quillbay keeps running on $DISPLAY (prefix $WINEPREFIX); its close button ends it."
  trap - EXIT
fi
