#!/usr/bin/env bash
# Checks the firmware library's export table: exactly the eight names, undecorated, at ordinals 1 to
# 8 in alphabetical order (callers bind them by name, and by ordinal in that order).
#   check_exports.sh <objdump> <Gantrel.dll>
set -euo pipefail
objdump=$1 dll=$2
expected="1 CheckVersion
2 CopyFirmwareBinary
3 DeleteFirmwareBinary
4 GetDeviceCount
5 GetDeviceInfo
6 GetDevices
7 GetModuleName
8 SendUpdateCommand"
table=$("$objdump" -p "$dll")
base=$(sed -n 's/.*Ordinal Base \([0-9]*\).*/\1/p' <<<"$table")
# "[   0] CheckVersion" rows of the name table; the index plus the ordinal base is the ordinal.
actual=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" |
  sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\][[:space:]]*\(.*\)$/\1 \2/p' |
  while read -r index name; do echo "$((index + base)) $name"; done)
if [[ "$actual" != "$expected" ]]; then
  echo "export table differs:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "exports: 8 names at ordinals 1-8"
