#!/usr/bin/env bash
# Fails when a source file is not as clang-format (.clang-format) would write it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "format: every source file is as .clang-format writes it"
