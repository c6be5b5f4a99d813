#!/usr/bin/env bash
# Takes a PNG of Telvane connected to an echo server on loopback, for the README.
#   scripts/screenshot.sh [FILE]      (default: docs/telvane-connected.png)
# Everything runs on a virtual display; as root it also runs in a network namespace
# of its own that has only loopback. Nothing but 127.0.0.1 is ever contacted.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ "${1:-}" != "--inside" ]; then
  out="$(realpath -m "${1:-$TELVANE_ROOT/docs/telvane-connected.png}")"
  mkdir -p "$(dirname "$out")"
  "$TELVANE_ROOT/scripts/setup.sh" >/dev/null
  wineserver -k 2>/dev/null || true  # the server must start where the sockets live
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    exec unshare -n bash -c 'ip link set lo up && exec "$@"' bash "$(realpath "$0")" --inside "$out"
  fi
  exec "$0" --inside "$out"
fi
out="$2"

if [ -z "${TELVANE_IN_XVFB:-}" ]; then
  export TELVANE_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 800x480x24 -nolisten tcp" "$0" --inside "$out"
fi

work="$(mktemp -d)"
server_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# An echo server on 127.0.0.1 that gives up by itself after two minutes.
python3 - "$work/port" <<'PY' &
import os, socket, sys, threading
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(4)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
threading.Timer(120, lambda: os._exit(0)).start()
def echo(connection):
    with connection:
        while True:
            data = connection.recv(4096)
            if not data:
                return
            connection.sendall(data)
while True:
    connection, _ = listener.accept()
    threading.Thread(target=echo, args=(connection,), daemon=True).start()
PY
server_pid=$!
for _ in $(seq 50); do [ -f "$work/port" ] && break; sleep 0.1; done
[ -f "$work/port" ] || { echo "screenshot: the echo server did not start" >&2; exit 1; }
port="$(cat "$work/port")"

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

wineserver -p >/dev/null 2>&1 </dev/null
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
