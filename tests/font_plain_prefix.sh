#!/usr/bin/env bash
# Runs the "any byte" tests of the given test programs in a Wine prefix made by a
# bare wineboot, as a user who unzips the release has: no fonts copied in, so Wine
# draws with whatever the host's fontconfig offers. The prefix ("plain") is made once
# by the setup script and kept beside the other prefixes. Prints the pass line only
# when every report passed (a crashed Wine process can end with 0).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"

if [ -z "${DISPLAY:-}" ]; then
  with_display 1280x1024 "$0" "$@"
  exit
fi

make_prefix plain || exit 1
use_prefix plain
start_wineserver
failed=0
for program in "$@"; do
  echo "== $(basename "$program") in $WINEPREFIX"
  report=$(wine "$program" --test-suite="any byte" 2>&1 </dev/null)
  echo "$report"
  grep -q "Status: SUCCESS!" <<<"$report" || failed=1
done
stop_wineserver
if [ "$failed" -eq 0 ]; then
  echo "plain prefix: every report passed"
else
  echo "plain prefix: a test program failed or died"
  exit 1
fi
