#!/usr/bin/env bash
# The program's main job: installs what is missing, builds every program, library and test, then
# shows Quillbay at work (scripts/demo.sh): in a demo prefix with a simulated MTP player, on the
# user's display or a private Xvfb, songs dropped onto its window travel to the player.
# QB_DEMO=0 builds only.
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
if [[ "${QB_DEMO:-1}" != 0 ]]; then
  "$root/scripts/demo.sh"
fi
