#!/usr/bin/env bash
# Sets up, builds and starts Telvane under Wine, in a prefix of its own ("run").
#   scripts/run.sh                    open the window on your display
#   scripts/run.sh --screenshot FILE  no display needed: start it on a virtual one,
#                                     save a PNG of the window to FILE and quit
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TELVANE_ROOT/scripts/setup.sh" run >/dev/null
use_prefix run

exe="$TELVANE_BUILD/bin/telvane.exe"
shot() {
  start_wineserver
  wine "$exe" >/dev/null 2>&1 </dev/null &
  local window=$!
  sleep "${TELVANE_SCREENSHOT_DELAY:-4}"
  import -window root "$1"
  stop_wineserver
  wait "$window" 2>/dev/null || true
  echo "saved $1"
}
if [ "${1:-}" = "--screenshot" ]; then
  with_display 1024x768 shot "$(realpath -m "${2:-telvane.png}")"
  exit
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no X display (DISPLAY is not set), so there is nowhere to show the window." >&2
  echo "run: on a desktop run this again; without one, try:  scripts/run.sh --screenshot telvane.png" >&2
  exit 2
fi
exec wine "$exe"
