#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the pure rules natively, then the
# program under Wine on a virtual X display of its own, in Wine prefixes of its own.
# Where it may (root), it runs in a network namespace of its own that has only
# loopback, so no test can reach anything but the peers it starts itself.
# Arguments go to ctest (e.g. -R view).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$TELVANE_ROOT/scripts/setup.sh" tests tests-themed plain
# The pure rules first, natively and sanitized: seconds, and no Wine needed.
"$TELVANE_ROOT/scripts/test-native.sh"
loopback_only with_display 1280x1024 "$TELVANE_ROOT/scripts/ctest-under-wine.sh" "$@"
