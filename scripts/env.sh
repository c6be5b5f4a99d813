# Shared settings of the scripts: where the private Wine prefix and the build live.
TELVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${TELVANE_WINEPREFIX:-$HOME/.cache/telvane/wine64}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
TELVANE_BUILD="${TELVANE_BUILD_DIR:-$TELVANE_ROOT/build}"
