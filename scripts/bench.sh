#!/usr/bin/env bash
# Builds Telvane and runs its receive-path benchmark under Wine on a headless X display:
# a loopback peer floods the real window with 10 MB in each transfer mode, one process
# per mode, and each prints its figures. Arguments go to every run (e.g. --mb 20).
# Like the tests, it runs in a network namespace with only loopback where it may (root).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ -z "${TELVANE_IN_XVFB:-}" ]; then
  "$TELVANE_ROOT/scripts/setup.sh" >/dev/null
  wineserver -k 2>/dev/null || true
  export TELVANE_IN_XVFB=1
  inner=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@")
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    exec unshare -n bash -c 'ip link set lo up && exec "$@"' bash "${inner[@]}"
  fi
  exec "${inner[@]}"
fi

wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
rc=0
for mode in ascii advanced binary; do
  wine "$TELVANE_BUILD/bin/telvane_bench.exe" "$mode" "$@" || rc=$?
done
wineserver -k 2>/dev/null
exit $rc
