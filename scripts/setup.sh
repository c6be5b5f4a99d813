#!/usr/bin/env bash
# Installs everything Telvane needs from Debian's packages (only what is missing),
# builds it, and prepares a private, quiet Wine prefix. Safe to run again: when all
# is there it only checks and rebuilds what changed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

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

if [ ! -f "$WINEPREFIX/.telvane-ready" ]; then
  echo "setup: creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  reg() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
  # No window manager under Xvfb: unmanaged windows close without a 2 s wait.
  reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
  # The default theme makes every edit-control update far slower.
  reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' ThemeActive REG_SZ 0
  # A crashing test must fail, not wait for someone to close a dialog.
  reg 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
  wineserver -w
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  touch "$WINEPREFIX/.telvane-ready"
fi

cmake -S "$TELVANE_ROOT" -B "$TELVANE_BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$TELVANE_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTELVANE_WERROR=ON >/dev/null
cmake --build "$TELVANE_BUILD" -j"$(nproc)"
