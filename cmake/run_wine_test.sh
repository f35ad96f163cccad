#!/usr/bin/env bash
# Runs one Windows test program under Wine. Wine's X11 driver ends a process at an X protocol
# error it does not expect ("X Error of failed request"); on the tests' busy shared display that
# now and then ends a window test through no fault of the program. Such a run is repeated once,
# and says so; every other failure stands.
#   run_wine_test.sh <wine loader> <program> [arguments]
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
"$@" 2> >(tee "$errors" >&2)
status=$?
wait $! 2>/dev/null
if ((status != 0)) && grep -q "X Error of failed request" "$errors"; then
  echo "Wine ended the program at an X error; running it once more" >&2
  "$@"
  status=$?
fi
exit $status
