# Sourced by test runners that need a Wine prefix of their own beside the shared test prefix.
# make_scratch_prefix <shared prefix> <new prefix>: a copy of the shared prefix with the registry and
# the user folders for real and the system folder's files as hard links (Wine only reads them), so
# nothing a run writes reaches the shared one. The new prefix must lie on the same file system.
make_scratch_prefix() {
  local shared=$1 prefix=$2 entry name ini
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
}
