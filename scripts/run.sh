#!/usr/bin/env bash
# The program's main job: installs what is missing and builds every program, library and test.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/setup.sh"
configure_and_build_windows i686 "$win32_build"
echo "Built the 32-bit programs into $win32_build/bin"
if [[ "$qb_arch" != i686 ]]; then
  # This machine runs no 32-bit code: the 64-bit build is the one that can be started here.
  configure_and_build_windows
  echo "Built the 64-bit programs into $win_build/bin"
fi
