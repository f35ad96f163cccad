#!/usr/bin/env bash
# Builds the Windows build and runs every benchmark program under Wine; each prints its figures.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/setup.sh"
configure_and_build_windows
trap 'stop_wine' EXIT
start_wine
shopt -s nullglob
for bench in "$win_build"/bin/bench_*.exe; do
  echo "== $(basename "$bench" .exe)"
  (cd "$win_build/bin" && "$wine_loader" "$bench" </dev/null)
done
