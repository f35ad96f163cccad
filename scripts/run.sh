#!/usr/bin/env bash
# The program's main job: installs what is missing and builds every program, library and test.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/setup.sh"
configure_and_build_windows
echo "Built into $win_build/bin"
