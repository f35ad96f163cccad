#!/usr/bin/env bash
# Runs Quillbay's DPI start-up test in a scratch Wine prefix whose screen is set to 120 DPI, as the
# display settings of a user with larger text would have it. The prefix has a wineserver of its
# own, so the program's fixed names do not meet those of the shared prefix's tests.
#   run_at_120_dpi.sh <wine loader> <shared prefix> <quillbay_startup_tests.exe>
set -euo pipefail
loader=$1 shared=$2 exe=$3

# Beside the shared prefix, on the same file system, so its system files can be hard-linked.
scratch=$(mktemp -d "$(dirname "$shared")/high-dpi.XXXXXX")
prefix=$scratch/prefix
trap 'WINEPREFIX=$prefix wineserver -k </dev/null >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
source "$(dirname "$0")/../../../cmake/scratch_wine_prefix.sh"
make_scratch_prefix "$shared" "$prefix"

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
"$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f </dev/null >/dev/null 2>&1
# Each process reads the DPI as it starts; the prefix's own processes start afresh with it.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
QB_SCREEN_DPI=120 "$loader" "$exe" --gtest_filter='QuillbayStartupTest.TheWindowIsDrawnForTheScreensDpi' </dev/null
