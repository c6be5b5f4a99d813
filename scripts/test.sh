#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the pure rules natively, then the
# program under Wine on a headless X display.
# Where it may (root), it runs in a network namespace of its own that has only
# loopback, so no test can reach anything but the peers it starts itself.
# Arguments go to ctest (e.g. -R view).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$TELVANE_ROOT/scripts/setup.sh"
# The pure rules first, natively and sanitized: seconds, and no Wine needed.
"$TELVANE_ROOT/scripts/test-native.sh"
wineserver -k 2>/dev/null || true
inner=("$TELVANE_ROOT/scripts/ctest-under-wine.sh" "$@")
if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
  exec unshare -n bash -c 'ip link set lo up && exec "$@"' bash "${inner[@]}"
fi
exec "${inner[@]}"
