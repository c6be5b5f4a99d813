#include "transfer/transfer_fixture.h"

#include <cstring>

#include "session/session_runner.h"
#include "support/harness.h"

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
  app.useTcp = tcp;
  SetWindowTextA(app.hostField, "127.0.0.1");
  SetWindowTextA(app.portField, std::to_string(port).c_str());
  SendMessageA(app.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return PumpUntil([] { return app.session.connected() != 0; });
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
  // The pane and the counter catch up with the reads at the next frame.
  const auto shown = [count] {
    return app.session.counters().sessionIn >= count && TranscriptUpToDate();
  };
  return PumpUntil(shown, timeoutMs) && app.session.counters().sessionIn == count;
}

bool WaitUnread(unsigned long count, int timeoutMs) {
  u_long pending = 0;
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (ioctlsocket(app.sessionSocket, FIONREAD, &pending) == 0 && pending >= count) break;
    Sleep(10);
  }
  return pending == count;
}

ScriptedSession::ScriptedSession(TransferMode mode, bool holdReading, int receiveBuffer)
    : peer(holdReading, receiveBuffer) {
  REQUIRE(peer.ok());
  SetTransferMode(mode);
  REQUIRE(OpenSession(peer.port()));
}
