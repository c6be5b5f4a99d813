#include "session/connection.h"

#include "core/session_texts.h"
#include "session/session_runner.h"
#include "session/socket_calls.h"
#include "view/output_pane.h"

namespace {

constexpr WORD kWinsockVersion = 0x0002;  // 2.0

}  // namespace

void StartWinsock() {
  const int result = WSAStartup(kWinsockVersion, &app.network.winsockInfo);
  if (result != 0) {
    char line[64];
    wsprintfA(line, kWinsockStartFormat, result);
    AppendOutput(line);
  }
}

void StopWinsock() {
  // A pending attempt's socket is closed too, rather than left to WSACleanup.
  RunSession(ev::WindowClosing{});
  WSACleanup();
}

void OnSocketNotify(SOCKET socket, int event, int error) {
  // A late event of a session that has ended, or of an earlier one, does nothing.
  if (!IsSessionSocket(app.network, socket)) return;
  switch (event) {
    case FD_READ: {
      // Socket events are posted messages, which the loop takes before input, paint and
      // timers: the core hears what waits, or under a flood those would never have a turn.
      const unsigned waiting = WaitingBehindRead();
      return RunSession(
          ev::ReadReady{error, (waiting & (QS_INPUT | QS_TIMER)) != 0, (waiting & QS_PAINT) != 0});
    }
    case FD_WRITE: return RunSession(ev::WriteReady{error});
    case FD_CONNECT: return RunSession(ev::ConnectDone{error});
    case FD_CLOSE: return RunSession(ev::PeerClosed{error});
    default: return;
  }
}

void OnLookupDone(HANDLE request, int error) {
  if (!request || request != app.network.lookupRequest) return;  // cancelled with its attempt
  RunSession(
      ev::LookupDone{TakeLookupAnswer(app.network, error) ? 0 : (error != 0 ? error : WSANO_DATA)});
}

void OnSessionTimer(UINT_PTR id) { RunSession(ev::TimerFired{TimerOfId(id)}); }

void OnSessionStep() { RunSession(ev::DrawStep{}); }
