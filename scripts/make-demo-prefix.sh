#!/usr/bin/env bash
# Makes a Wine prefix for trying the programs by hand, with two players attached through the
# stand-ins: a simulated MTP player (standins/wpd, registered as the portable-device classes and
# described in the registry) and a removable-drive player (a folder Wine reports as drive R:, of
# removable type). Each player holds a few sample songs from tests/data. The iTunes stand-in
# (standins/itunes) is registered as the iTunes application, serving a small library of the same
# songs with a playlist "Demo playlist" and a current selection. C:\QuillbayDemo\songs-to-drop holds
# songs that are on neither player, for dropping onto the main window (scripts/demo.sh does).
#   make-demo-prefix.sh [prefix folder]     default: <build>/demo-prefix
# Then start a program in it: WINEPREFIX=<prefix folder> wine <program>.
set -euo pipefail
source "$(dirname "$0")/env.sh"
prefix=${1:-$win_build/demo-prefix}
standin=$win_build/bin/wpdstandin.dll
[[ -f "$standin" ]] || { echo "build the stand-in first: cmake --build $win_build --target wpdstandin" >&2; exit 1; }
itunes=$win_build/bin/QbStandinITunes.exe
[[ -f "$itunes" ]] || { echo "build the stand-in first: cmake --build $win_build --target QbStandinITunes" >&2; exit 1; }

export WINEPREFIX=$prefix
mkdir -p "$WINEPREFIX"
"$wine_loader" wineboot --init </dev/null >/dev/null 2>&1 || echo "wineboot exited with $?" >&2
win() { "$wine_loader" winepath -w "$1" 2>/dev/null; }

demo=$WINEPREFIX/drive_c/QuillbayDemo
# Each run starts the players over with only their own songs.
rm -rf "$demo/mtp-player" "$demo/removable-player" "$demo/songs-to-drop"
mkdir -p "$demo/standins" "$demo/mtp-player/Music" "$demo/removable-player/MUSIC" "$demo/itunes-music" \
  "$demo/songs-to-drop"
cp "$standin" "$itunes" "$demo/standins/"
for song in mediaprobe/tagged.mp3 mediaprobe/plain.mp3 decode/tone-id3-lame.mp3; do
  cp "$root/tests/data/$song" "$demo/mtp-player/Music/"
  cp "$root/tests/data/$song" "$demo/removable-player/MUSIC/"
  cp "$root/tests/data/$song" "$demo/itunes-music/"
done
# The program takes an MTP device for a player when its storage holds a capability document.
cat >"$demo/mtp-player/capability_00.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Devices xmlns="http://www.tavrel.com/tornelle/capability"><Device>
<PlaybackCapabilities><Audio><Format><Extension>mp3</Extension></Format></Audio></PlaybackCapabilities>
<FileSystem><Path content-type="sound" depth="7"><Target>\Music\</Target></Path></FileSystem>
</Device></Devices>
XML
cp "$root/tests/data/mediaprobe/tagged.mp3" "$demo/songs-to-drop/Harbour Lights.mp3"
cp "$root/tests/data/tags/itunes10.mp3" "$demo/songs-to-drop/Paper Boats.mp3"
cp "$root/tests/data/mediaprobe/plain.mp3" "$demo/songs-to-drop/Quiet Morning.mp3"
cp "$root/tests/data/decode/tone-id3-lame.mp3" "$demo/songs-to-drop/Tuning Fork.mp3"

"$wine_loader" regsvr32 /s "$(win "$demo/standins/wpdstandin.dll")" </dev/null >/dev/null 2>&1 ||
  { echo "registering the simulated player failed" >&2; exit 1; }
players='HKLM\Software\Quillbay\Standins\WpdPlayers\demo'
reg_set() { "$wine_loader" reg add "$players" /v "$1" /t "$2" /d "$3" /f </dev/null >/dev/null 2>&1; }
reg_set DeviceId REG_SZ '\\?\usb#vid_0000&pid_0001#demo-player'
reg_set FriendlyName REG_SZ 'Demo MTP Player'
reg_set Manufacturer REG_SZ 'Quillbay'
reg_set Description REG_SZ 'Simulated MTP player'
reg_set Protocol REG_SZ 'MTP: 1.0'
reg_set Folder REG_SZ "$(win "$demo/mtp-player")"
reg_set StorageName REG_SZ 'Internal storage'
reg_set CapacityMiB REG_DWORD 512

# The iTunes library: the stand-in reads the fixture file that its key names (tab-separated lines).
"$wine_loader" "$demo/standins/QbStandinITunes.exe" -RegServer </dev/null >/dev/null 2>&1 ||
  { echo "registering the iTunes stand-in failed" >&2; exit 1; }
music='C:\QuillbayDemo\itunes-music\'
{
  printf 'version\t7\t1\n'
  printf 'playlist\tDemo playlist\n'
  printf 'file\t%stagged.mp3\tTagged\tDemo Artist\tDemo Album\t0\t1\n' "$music"
  printf 'url\tDemo radio\n'
  printf 'file\t%splain.mp3\tPlain\tDemo Artist\tDemo Album\t0\n' "$music"
  printf 'selection\n'
  printf 'file\t%stone-id3-lame.mp3\tTone\tDemo Podcast\tDemo Episodes\t1\n' "$music"
} >"$demo/standins/itunes-library.txt"
"$wine_loader" reg add 'HKLM\Software\Quillbay\Standins\iTunes' /v Library /t REG_SZ \
  /d "$(win "$demo/standins/itunes-library.txt")" /f </dev/null >/dev/null 2>&1

# The removable-drive player: Wine takes a drive's type from its Drives key when the prefix starts.
ln -sfn "$demo/removable-player" "$WINEPREFIX/dosdevices/r:"
"$wine_loader" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d floppy /f </dev/null >/dev/null 2>&1
wineserver -k </dev/null >/dev/null 2>&1 || true
echo "Demo prefix ready: $WINEPREFIX"
echo "  MTP player 'Demo MTP Player' backed by $demo/mtp-player"
echo "  removable-drive player R: backed by $demo/removable-player"
echo "  iTunes stand-in serving $demo/standins/itunes-library.txt"
echo "  songs to drop onto the main window in $demo/songs-to-drop"
