#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite under Wine on a headless X display.
# Where it may (root), it runs in a network namespace of its own that has only
# loopback, so no test can reach anything but the peers it starts itself.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ "${1:-}" != "--inside" ]; then
  "$TELVANE_ROOT/scripts/setup.sh"
  wineserver -k 2>/dev/null || true
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    exec unshare -n bash "$0" --inside "${@}"
  fi
  exec bash "$0" --inside "${@}"
fi
shift
ip link set lo up 2>/dev/null || true
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  wineserver -p >/dev/null 2>&1 </dev/null
  # Start the prefix'''s background services now, detached: otherwise they inherit
  # ctest'''s output pipe and ctest waits on them for ever.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  ctest --test-dir "$0" --output-on-failure "$@"
  rc=$?
  wineserver -k 2>/dev/null
  exit $rc' "$TELVANE_BUILD" "$@"
