#!/usr/bin/env bash
# Installs everything Telvane needs from Debian's packages (only what is missing),
# builds it, and makes the private, quiet Wine prefixes named (those of the tests when
# none is): tests, tests-themed, plain, run, screenshot, bench-xvfb, bench-xvfb-themed,
# bench-null, bench-null-themed (see prefix_settings in env.sh). Safe to run again, also
# by several scripts at once: when all is there it only checks and rebuilds what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

roles=("$@")
((${#roles[@]})) || roles=(tests tests-themed plain)
for role in "${roles[@]}"; do
  prefix_settings "$role" >/dev/null || {
    echo "setup: no Wine prefix is called $role" >&2
    exit 2
  }
done

mkdir -p "$TELVANE_BUILD"
exec {lock}>"$TELVANE_BUILD/.setup-lock"
flock "$lock"  # one install and one build at a time

packages=(cmake make python3 g++ clang-format g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth
          imagemagick fonts-wine doctest-dev zip iproute2 util-linux)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

flock -u "$lock"
for role in "${roles[@]}"; do make_prefix "$role"; done

flock "$lock"
cmake -S "$TELVANE_ROOT" -B "$TELVANE_BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$TELVANE_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTELVANE_WERROR=ON >/dev/null
cmake --build "$TELVANE_BUILD" -j"$(nproc)"
