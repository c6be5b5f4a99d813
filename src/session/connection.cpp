#include "session/connection.h"

#include "core/session_texts.h"
#include "session/session_runner.h"
#include "session/socket_calls.h"
#include "view/output_pane.h"

namespace {

constexpr WORD kWinsockVersion = 0x0002;  // 2.0

// True when the user's input, paint or timers wait behind posted socket messages;
// paint is done here and now. A read then waits until those have had their turn.
bool LoopHasWaitingMessages() {
  // Socket events are posted messages, which the loop takes before input, paint and
  // timers: under a flood it would never reach those.
  if (HIWORD(GetQueueStatus(QS_PAINT)))
    RedrawWindow(app.controls.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

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
      const bool inputWaiting = error == 0 && app.session.connected() &&
                                !app.session.readDeferred() && LoopHasWaitingMessages();
      return RunSession(ev::ReadReady{error, inputWaiting});
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

bool OnSessionTimer(UINT_PTR id) {
  switch (id) {
    case kConnectTimerId: RunSession(ev::TimerFired{Timer::Dots}); return true;
    case kFrameTimerId: RunSession(ev::TimerFired{Timer::Frame}); return true;
    case kSendWaitTimerId: RunSession(ev::TimerFired{Timer::SendWait}); return true;
    case kReadResumeTimerId: RunSession(ev::TimerFired{Timer::ReadResume}); return true;
    case kStepTimerId:
      KillTimer(app.controls.mainWindow, kStepTimerId);
      OnSessionStep();
      return true;
    default: return false;
  }
}

void OnSessionStep() { RunSession(ev::DrawStep{}); }
