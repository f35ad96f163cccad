#!/usr/bin/env bash
# Installs what is missing, builds both builds and runs every test: the Windows build under Wine
# (and Xvfb), the native build with sanitizers, then each fuzzer for a bounded time.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$root/scripts/setup.sh"

build_shipped_windows
configure_and_build_windows
configure_and_build_native

trap 'stop_wine; stop_xvfb' EXIT
start_xvfb
start_wine

summaries=$(mktemp)
status=0
run_ctest() {
  local dir=$1 log
  log=$(mktemp)
  (cd "$dir" && ctest -j "$jobs" --output-on-failure) 2>&1 | tee "$log" || status=1
  if ! grep -E 'tests passed, [0-9]+ tests failed out of' "$log" >>"$summaries"; then
    grep -q 'No tests were found' "$log" || status=1
  fi
  rm -f "$log"
}

echo "== Windows build, under Wine"
run_ctest "$win_build"
echo "== Native build, with AddressSanitizer and UBSan"
run_ctest "$native_build"
echo "== Fuzzers"
"$root/scripts/fuzz.sh" || status=1

# One closing line for both test runs, named after the Windows build whose tests ran.
passed=0 failed=0
while read -r line; do
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done <"$summaries"
rm -f "$summaries"
if [[ "$qb_arch" == i686 ]]; then
  echo "The tests ran on the 32-bit Windows build."
else
  echo "The tests ran on the 64-bit Windows build; the 32-bit build was compiled and linked."
fi
echo "win-$qb_arch: $passed passed, $failed failed"
exit $status
