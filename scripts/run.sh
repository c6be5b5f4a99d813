#!/usr/bin/env bash
# Sets up, builds and starts Telvane under Wine.
#   scripts/run.sh                    open the window on your display
#   scripts/run.sh --screenshot FILE  no display needed: start it on a virtual one,
#                                     save a PNG of the window to FILE and quit
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
"$TELVANE_ROOT/scripts/setup.sh" >/dev/null

exe="$TELVANE_BUILD/bin/telvane.exe"
if [ "${1:-}" = "--screenshot" ]; then
  out="$(realpath -m "${2:-telvane.png}")"
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
    wine "$0" & pid=$!
    sleep "${TELVANE_SCREENSHOT_DELAY:-4}"
    import -window root "$1"
    wineserver -k 2>/dev/null; wait $pid 2>/dev/null || true
    echo "saved $1"' "$exe" "$out"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "run: no X display (DISPLAY is not set), so there is nowhere to show the window." >&2
  echo "run: on a desktop run this again; without one, try:  scripts/run.sh --screenshot telvane.png" >&2
  exit 2
fi
exec wine "$exe"
