#!/usr/bin/env bash
# Runs ctest on a fresh virtual X display with a persistent wineserver.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ -z "${TELVANE_IN_XVFB:-}" ]; then
  export TELVANE_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

wineserver -p >/dev/null 2>&1 </dev/null
# Start the background services of the prefix now, detached: otherwise they
# inherit the output pipe of ctest, which then waits on them for ever.
wine cmd /c exit >/dev/null 2>&1 </dev/null
ctest --test-dir "$TELVANE_BUILD" --output-on-failure "$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
