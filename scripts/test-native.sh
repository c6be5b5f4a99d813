#!/usr/bin/env bash
# Builds the pure rules with the host's compiler, under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs their tests: seconds, no Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# The checker that every build runs refuses what it should.
python3 "$TELVANE_ROOT/scripts/check_layers.py" --self-test
native="${TELVANE_NATIVE_BUILD_DIR:-$TELVANE_ROOT/build-native}"
sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S "$TELVANE_ROOT" -B "$native" -DCMAKE_BUILD_TYPE=Debug -DTELVANE_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build "$native" -j"$(nproc)"
status=0
ctest --test-dir "$native" --output-on-failure -E '^simulation$' || status=$?
# The random schedules of the session core, run here so that their one line shows
# whatever else failed.
"$native/bin/test_rules" --test-case='simulation*' --minimal || status=$?
exit "$status"
