#!/usr/bin/env bash
# Runs the "any byte" tests of the given test programs in a Wine prefix made by a
# bare wineboot, as a user who unzips the release has: no fonts copied in, so Wine
# draws with whatever the host's fontconfig offers. The prefix is made once and kept
# beside the project's prefix. Prints the pass line only when every report passed
# (a crashed Wine process can end with 0).
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

export WINEPREFIX="${TELVANE_PLAIN_WINEPREFIX:-$WINEPREFIX-plain}"
if [ ! -f "$WINEPREFIX/.telvane-plain-ready" ]; then
  echo "making the plain Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  # A crash must fail the test, not wait for someone to close a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.telvane-plain-ready"
fi

wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
failed=0
for program in "$@"; do
  echo "== $(basename "$program") in $WINEPREFIX"
  report=$(wine "$program" --test-suite="any byte" 2>&1 </dev/null)
  echo "$report"
  grep -q "Status: SUCCESS!" <<<"$report" || failed=1
done
wineserver -k 2>/dev/null
if [ "$failed" -eq 0 ]; then
  echo "plain prefix: every report passed"
else
  echo "plain prefix: a test program failed or died"
  exit 1
fi
