#!/usr/bin/env bash
# Runs ctest under Wine with the theme off, then the programs that draw received data
# once more with Wine's theme on, as Windows draws. Each in a prefix of its own with a
# persistent wineserver. scripts/test.sh gives it a display and a network.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
themed=(transfer view)

use_prefix tests
start_wineserver
ctest --test-dir "$TELVANE_BUILD" --output-on-failure "$@"
rc=$?
stop_wineserver

# Those of the drawing programs that the arguments select.
selected=$(ctest --test-dir "$TELVANE_BUILD" --show-only=json-v1 "$@" |
  python3 -c 'import json, sys; print("\n".join(t["name"] for t in json.load(sys.stdin)["tests"]))')
names=()
for name in "${themed[@]}"; do
  if grep -qx "$name" <<<"$selected"; then names+=("$name"); fi
done
if ((${#names[@]})); then
  echo "== ${names[*]} once more with Wine's theme on"
  use_prefix tests-themed
  start_wineserver
  pattern=$(IFS='|'; echo "${names[*]}")
  ctest --test-dir "$TELVANE_BUILD" --output-on-failure -R "^($pattern)\$" || rc=1
  stop_wineserver
fi
exit $rc
