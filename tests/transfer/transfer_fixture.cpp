#include "transfer/transfer_fixture.h"

#include <cstring>

#include "app/app_state.h"
#include "codec/binary_mode.h"

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
