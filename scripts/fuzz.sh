#!/usr/bin/env bash
# Runs every fuzzer of the native build for a bounded time (QB_FUZZ_SECONDS, default 60) on its seed
# corpus in tests/fuzz/<fuzzer name>/. New inputs go to a scratch folder, never into the tree.
# A crash leaves its input in build/native/fuzz-crashes/: turn it into a regression fixture.
set -euo pipefail
source "$(dirname "$0")/env.sh"
seconds=${QB_FUZZ_SECONDS:-60}
crashes=$native_build/fuzz-crashes
mkdir -p "$crashes"

shopt -s nullglob
fuzzers=("$native_build"/bin/*_fuzzer)
if ((${#fuzzers[@]} == 0)); then
  echo "no fuzzers built"
  exit 0
fi

pids=()
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  scratch=$(mktemp -d)
  seeds=$root/tests/fuzz/$name
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$scratch"/
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 -artifact_prefix="$crashes/$name-" \
    "$scratch" >"$native_build/$name.log" 2>&1 &
  pids+=("$!:$name")
done

status=0
for entry in "${pids[@]}"; do
  if wait "${entry%%:*}"; then
    echo "${entry#*:}: no crash in ${seconds}s"
  else
    echo "${entry#*:}: FAILED, see $native_build/${entry#*:}.log"
    tail -n 30 "$native_build/${entry#*:}.log"
    status=1
  fi
done
exit $status
