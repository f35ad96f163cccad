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

source "$(dirname "$0")/../../cmake/scratch_wine_prefix.sh"
make_scratch_prefix "$shared" "$prefix"

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
