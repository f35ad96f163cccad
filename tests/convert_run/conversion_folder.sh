# Sourced by the scripts that run a movie conversion end to end in Wine (needs $bin, the folder of
# the built programs, and scripts/env.sh sourced). make_conversion_folder puts the given programs in
# a program folder of their own ($work/app) beside the program's filters and the Windows Media
# stand-in (placed as wmvcore.dll, its ASF writer registered until the script exits), and gives
# the platform's sound renderers the ALSA null device ($work/home as HOME).
work=$(mktemp -d)
# A Unix path as Wine's Z: drive names it.
win() { local path=${1//\//\\}; echo "Z:$path"; }
registered=0
remove_conversion_folder() {
  if ((registered)); then
    "$wine_loader" regsvr32 /s /u "$(win "$work/app/wmvcore.dll")" </dev/null >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap remove_conversion_folder EXIT

# make_conversion_folder <file in $bin>...: fails when the stand-in's registration fails.
make_conversion_folder() {
  mkdir -p "$work/app" "$work/home"
  local file
  for file in "$@" Vandle.ax Tembric.ax; do cp "$bin/$file" "$work/app/"; done
  cp "$bin/QbStandinWindowsMedia.dll" "$work/app/wmvcore.dll"
  printf 'pcm.!default { type null }\n' >"$work/home/.asoundrc"
  registered=1
  "$wine_loader" regsvr32 /s "$(win "$work/app/wmvcore.dll")" </dev/null >/dev/null 2>&1
}
