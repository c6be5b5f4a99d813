#!/usr/bin/env bash
# Takes a PNG of Telvane connected to an echo server on loopback, for the README.
#   scripts/screenshot.sh [FILE]      (default: docs/telvane-connected.png)
# Everything runs on a virtual display; as root it also runs in a network namespace
# of its own that has only loopback. Nothing but 127.0.0.1 is ever contacted.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

use_prefix screenshot
if [ "${1:-}" != "--inside" ]; then
  out="$(realpath -m "${1:-$TELVANE_ROOT/docs/telvane-connected.png}")"
  mkdir -p "$(dirname "$out")"
  "$TELVANE_ROOT/scripts/setup.sh" screenshot >/dev/null
  loopback_only with_display 800x480 "$(realpath "$0")" --inside "$out"
  exit
fi
out="$2"

work="$(mktemp -d)"
peer_pid=""
cleanup() {
  stop_wineserver
  [ -z "$peer_pid" ] || stop_peer
  rm -rf "$work"
}
trap cleanup EXIT

start_peer "$TELVANE_ROOT/scripts/echo_peer.py"
port=$peer_port

# Telvane beside a settings file that points it at the server and fills the screen.
cp "$TELVANE_BUILD/bin/telvane.exe" "$work/telvane.exe"
printf '[Telvane/Settings]\r\nhost=127.0.0.1\r\nport=%s\r\nprotocol=0\r\nmode=0\r\nscheme=1\r\nxpos=0\r\nypos=0\r\nwidth=800\r\nheight=480\r\n' \
  "$port" >"$work/telvane.ini"

# A small driver that does what a user would: Enter in the host field to connect,
# then a few lines typed into the send line, each ended by Enter.
cat >"$work/drive.cpp" <<'CPP'
#include <windows.h>
#include <cstdio>

namespace {
void Release(HWND control, WPARAM key) { SendMessageA(control, WM_KEYUP, key, 0xC0000001); }
// Asked of the control itself: the window text of another process's control is not ours to read.
LRESULT TextLength(HWND control) { return SendMessageA(control, WM_GETTEXTLENGTH, 0, 0); }
}

int main(int argc, char** argv) {
  HWND window = nullptr;
  for (int i = 0; i < 200 && !window; ++i) {
    window = FindWindowA("Telvane - Kestrelink", nullptr);
    if (!window) Sleep(100);
  }
  if (!window) {
    std::fprintf(stderr, "drive: Telvane's window did not appear\n");
    return 2;
  }
  Sleep(500);
  Release(GetDlgItem(window, 100), VK_RETURN);  // Enter in the host field
  HWND disconnect = GetDlgItem(window, 103);     // enabled once connected
  for (int i = 0; i < 100 && !IsWindowEnabled(disconnect); ++i) Sleep(100);
  if (!IsWindowEnabled(disconnect)) {
    std::fprintf(stderr, "drive: Telvane did not connect\n");
    return 3;
  }
  HWND sendLine = GetDlgItem(window, 106);
  int unsent = 0;
  for (int i = 1; i < argc; ++i) {
    for (const char* c = argv[i]; *c; ++c) SendMessageA(sendLine, WM_CHAR, (unsigned char)*c, 1);
    Release(sendLine, VK_RETURN);
    for (int t = 0; t < 20 && TextLength(sendLine) > 0; ++t) Sleep(100);
    if (TextLength(sendLine) > 0) {  // a sent line leaves the send line empty
      ++unsent;
      SendMessageA(sendLine, WM_SETTEXT, 0, (LPARAM) "");
    }
    Sleep(400);
  }
  if (unsent) std::fprintf(stderr, "drive: %d line(s) were not sent\n", unsent);
  return unsent ? 4 : 0;
}
CPP
x86_64-w64-mingw32-g++-posix -O1 -static -o "$work/drive.exe" "$work/drive.cpp"

start_wineserver
(cd "$work" && wine telvane.exe >/dev/null 2>&1 </dev/null) &
status=0
wine "$work/drive.exe" "Hello, Telvane!" "GET / HTTP/1.0" "Echo from 127.0.0.1" || status=$?
sleep 1
import -window root "$out"
if [ "$status" -ne 0 ]; then
  echo "screenshot: saved $out, but the session did not go as planned (driver exit $status)" >&2
  exit "$status"
fi
echo "saved $out"
