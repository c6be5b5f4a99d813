#include "transfer/transfer_fixture.h"

#include <cstring>

#include "codec/binary_mode.h"
#include "support/harness.h"

namespace {
// INTERIM until the send line's own subclass lands.
LRESULT CALLBACK InterimSendLineProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CHAR || m == WM_KEYDOWN || m == WM_PASTE) {
    if ((w == '\r' || w == '\t') && m == WM_CHAR) return 0;
    return HexEntryProc(h, m, w, l);
  }
  return CallWindowProcA(app.sendLinePrevProc, h, m, w, l);
}
}  // namespace

void UseSendLineRules() {
  if (app.sendLinePrevProc) return;
  app.sendLinePrevProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      app.sendLine, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InterimSendLineProc)));
}

bool PutOnClipboard(const char* text) {
  if (!OpenClipboard(app.mainWindow)) return false;
  EmptyClipboard();
  const size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  const bool ok = SetClipboardData(CF_TEXT, memory) != nullptr;
  CloseClipboard();
  return ok;
}

bool OpenSession(int port, bool tcp) {
  UseSendLineRules();
  app.useTcp = tcp;
  SetWindowTextA(app.hostField, "127.0.0.1");
  SetWindowTextA(app.portField, std::to_string(port).c_str());
  SendMessageA(app.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return PumpUntil([] { return app.connected != 0; });
}

void EnterLine(const std::string& text) {
  if (IsBinaryMode()) {
    SetWindowTextA(app.sendLine, "");
    TypeChars(app.sendLine, text);
  } else {
    SetWindowTextA(app.sendLine, text.c_str());
  }
}

void ClickSend() {
  SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(kSendButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.sendButton));
}

bool WaitBytesIn(int64_t count, int timeoutMs) {
  return PumpUntil([count] { return app.sessionBytesIn >= count; }, timeoutMs) &&
         app.sessionBytesIn == count;
}

bool WaitUnread(unsigned long count, int timeoutMs) {
  u_long pending = 0;
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (ioctlsocket(app.sessionSocket, FIONREAD, &pending) == 0 && pending >= count) break;
    Sleep(10);
  }
  return pending == count;
}
