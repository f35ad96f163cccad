#!/usr/bin/env bash
# Installs what the build and the tests need, non-interactively and only when something is missing.
# Package lists: scripts/packages.d/*.txt and scripts/packages.d/<target>/*.txt, one Debian package a
# line, '#' starts a comment.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/arch.sh"

mapfile -t packages < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here"/packages.d/*.txt "$here"/packages.d/"$qb_arch"/*.txt |
  grep -v '^$' | sort -u)

native_arch=$(dpkg --print-architecture)
installed() {
  # A name without an architecture means the machine's own, or an architecture-free package.
  local query=$1
  [[ "$query" == *:* ]] || query="$1:$native_arch"
  dpkg-query -W -f='${Status}\n' "$query" 2>/dev/null | grep -qx 'install ok installed' ||
    { [[ "$1" != *:* ]] && dpkg-query -W -f='${Status} ${Architecture}\n' "$1" 2>/dev/null |
      grep -qx 'install ok installed all'; }
}
missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if [[ "$qb_arch" == i686 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" </dev/null
