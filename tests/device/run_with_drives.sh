#!/usr/bin/env bash
# Runs the drive tests of device_tests.exe in a scratch Wine prefix of their own, with test folders
# mapped to drive letters that Wine reports as removable. When this machine lets us mount a
# tmpfs, a tiny one becomes a drive as well, so writes meet a real "disk full".
#   run_with_drives.sh <wine loader> <shared prefix> <device_tests.exe> [gtest arguments...]
set -euo pipefail
loader=$1 shared=$2 exe=$3
shift 3

# Beside the shared prefix, on the same file system, so its system files can be hard-linked.
scratch=$(mktemp -d "$(dirname "$shared")/device-drives.XXXXXX")
prefix=$scratch/prefix
full_mount=$scratch/full
cleanup() {
  WINEPREFIX=$prefix wineserver -k </dev/null >/dev/null 2>&1 || true
  mountpoint -q "$full_mount" 2>/dev/null && umount "$full_mount" || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A copy of the shared prefix: the registry and the user folders for real, the system folder's
# files as hard links (Wine only reads them), so nothing this run writes reaches the shared one.
mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
cp -a "$shared"/*.reg "$shared/.update-timestamp" "$prefix/"
for entry in "$shared"/drive_c/*; do
  name=$(basename "$entry")
  if [[ "$name" == windows ]] && cp -al "$entry" "$prefix/drive_c/" 2>/dev/null; then continue; fi
  rm -rf "${prefix:?}/drive_c/$name"
  # Other test programs create and delete their temporary folders meanwhile: leave the Temp
  # folders' contents behind and let files that vanish mid-copy go (tar exits 1 for those).
  tar -C "$shared/drive_c" --exclude='*/Temp/*' --ignore-failed-read \
    --warning=no-file-changed --warning=no-file-removed -cf - "$name" 2>/dev/null |
    tar -C "$prefix/drive_c" -xf - || (($? == 1))
done
for ini in "$prefix"/drive_c/windows/*.ini; do
  [[ -e "$ini" ]] && cp --remove-destination "$shared/drive_c/windows/$(basename "$ini")" "$ini"
done
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
letters=(r s t)
for letter in "${letters[@]}"; do
  mkdir -p "$scratch/drive_$letter"
  ln -s "$scratch/drive_$letter" "$prefix/dosdevices/$letter:"
done
drives=RST
full=
mkdir -p "$full_mount"
if mount -t tmpfs -o size=1m qbfull "$full_mount" 2>/dev/null; then
  ln -s "$full_mount" "$prefix/dosdevices/q:"
  letters+=(q)
  full=Q
fi
for letter in "${letters[@]}"; do
  "$loader" reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d floppy /f </dev/null >/dev/null 2>&1
done
# The mount manager reads the drive types when the prefix starts: start it afresh.
wineserver -k </dev/null >/dev/null 2>&1 || true

log=$scratch/log
status=0
QB_DEVICE_TEST_DRIVES=$drives QB_DEVICE_TEST_FULL_DRIVE=$full \
  "$loader" "$exe" --gtest_filter='Drive*' "$@" </dev/null >"$log" 2>&1 || status=$?
cat "$log"
exit $status
