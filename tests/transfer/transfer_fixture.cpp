#include "transfer/transfer_fixture.h"

#include <cstring>

#include "session/session_runner.h"
#include "support/harness.h"
#include "view/output_pane.h"

bool PutOnClipboard(const char* text) {
  if (!OpenClipboard(app.controls.mainWindow)) return false;
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
  app.choices.useTcp = tcp;
  SetWindowTextA(app.controls.hostField, "127.0.0.1");
  SetWindowTextA(app.controls.portField, std::to_string(port).c_str());
  SendMessageA(app.controls.mainWindow, WM_COMMAND, kConnectButtonId, 0);
  return PumpUntil([] { return app.session.connected() != 0; });
}

void EnterLine(const std::string& text) {
  if (IsBinaryMode()) {
    SetWindowTextA(app.controls.sendLine, "");
    TypeChars(app.controls.sendLine, text);
  } else {
    SetWindowTextA(app.controls.sendLine, text.c_str());
  }
}

void ClickSend() {
  SendMessageA(app.controls.mainWindow, WM_COMMAND, MAKEWPARAM(kSendButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.controls.sendButton));
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
    if (ioctlsocket(app.network.sessionSocket, FIONREAD, &pending) == 0 && pending >= count) break;
    Sleep(10);
  }
  return pending == count;
}

size_t FillPipe() {
  int small = 4096;
  setsockopt(app.network.sessionSocket, SOL_SOCKET, SO_SNDBUF,
             reinterpret_cast<const char*>(&small), sizeof small);
  const std::string junk(1024, 'j');
  size_t filled = 0;
  for (int pause = 0; pause < 50; ++pause) {
    const size_t before = filled;
    for (int round = 0; round < 65536; ++round) {
      const int n = send(app.network.sessionSocket, junk.data(), static_cast<int>(junk.size()), 0);
      if (n <= 0) break;
      filled += static_cast<size_t>(n);
    }
    if (filled == before && pause > 0) break;
    Sleep(100);
  }
  return filled;
}

namespace {
void CALLBACK NoTick(HWND, UINT, UINT_PTR, DWORD) {}
}  // namespace

void HandleReadEventWhileTimerDue(const std::string& data, ScriptedServer& peer, HWND eventWindow) {
  REQUIRE(peer.Push(data));
  REQUIRE(WaitUnread(static_cast<unsigned long>(data.size())));
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, NoTick);
  const DWORD start = GetTickCount();
  while (!HIWORD(GetQueueStatus(QS_TIMER)) && GetTickCount() - start < 5000) Sleep(1);
  MSG message;
  bool got = false;
  while (!(got = PeekMessageA(&message, eventWindow, kSocketNotify, kSocketNotify, PM_REMOVE)) &&
         GetTickCount() - start < 5000)
    Sleep(5);
  REQUIRE(got);
  DispatchMessageA(&message);
  KillTimer(nullptr, timer);
}

bool ReadEventPutOff(const std::string& data, ScriptedServer& peer) {
  HandleReadEventWhileTimerDue(data, peer, app.controls.mainWindow);
  return app.session.readDeferred() && app.session.counters().sessionIn == 0;
}

std::string ReadButNotShown(const std::string& piece, ScriptedServer& peer) {
  KillTimer(app.controls.mainWindow,
            kConnectTimerId);  // no timer may be due: the read goes at once
  std::string read;
  for (int attempt = 0; attempt < 5 && !HasQueuedOutput(); ++attempt) {
    REQUIRE(peer.Push(piece));
    REQUIRE(WaitUnread(static_cast<unsigned long>(piece.size())));
    MSG message = {};
    bool gotRead = false;
    for (int waited = 0; waited < 5000 && !gotRead; waited += 5) {
      if (!PeekMessageA(&message, app.controls.mainWindow, kSocketNotify, kSocketNotify,
                        PM_REMOVE)) {
        Sleep(5);
        continue;
      }
      gotRead = WSAGETSELECTEVENT(message.lParam) == FD_READ;
      if (!gotRead) DispatchMessageA(&message);
    }
    REQUIRE(gotRead);
    DispatchMessageA(&message);
    read += piece;
  }
  REQUIRE(app.session.counters().sessionIn == static_cast<int64_t>(read.size()));
  REQUIRE_FALSE(app.session.paceIdle());
  REQUIRE(HasQueuedOutput());
  return read;
}

void ReportCloseWithBurstUnread(OneShotServer& peer, size_t burstSize) {
  int room = 8 << 20;
  setsockopt(app.network.sessionSocket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&room),
             sizeof room);
  KillTimer(app.controls.mainWindow, kConnectTimerId);
  peer.Release();
  REQUIRE(WaitUnread(static_cast<unsigned long>(burstSize), 10000));
  SendMessageA(app.controls.mainWindow, kSocketNotify, app.network.sessionSocket,
               WSAMAKESELECTREPLY(FD_CLOSE, 0));
}

ScriptedSession::ScriptedSession(TransferMode mode, bool holdReading, int receiveBuffer)
    : peer(holdReading, receiveBuffer) {
  REQUIRE(peer.ok());
  SetTransferMode(mode);
  REQUIRE(OpenSession(peer.port()));
}
