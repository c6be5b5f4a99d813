#include "session/connection.h"

#include <cstdlib>

#include "rules/session_texts.h"
#include "session/session_runner.h"
#include "session/socket_calls.h"
#include "view/output_pane.h"

namespace {

constexpr WORD kWinsockVersion = 0x0002;  // 2.0

bool IsValidPort(int port) { return static_cast<unsigned>(port) - 1u <= 0xFFFEu; }

// True when the user's input, paint or timers wait behind posted socket messages;
// paint is done here and now. A read then waits until those have had their turn.
bool LoopHasWaitingMessages() {
  // Socket events are posted messages, which the loop takes before input, paint and
  // timers: under a flood it would never reach those.
  if (HIWORD(GetQueueStatus(QS_PAINT)))
    RedrawWindow(app.controls.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

void RunTimerTick(Timer timer) {
  Event tick;
  tick.kind = EventKind::Tick;
  tick.timer = timer;
  RunSession(tick);
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
  RunSession(EventKind::Shutdown);
  WSACleanup();
}

void OnConnectCommand(WPARAM wParam) {
  // The controls that send it are disabled while connecting; a command sent
  // anyway must not open a second socket and lose the first.
  if (HIWORD(wParam) != 0 || !app.session.idle()) return;
  SetFocus(app.controls.sendLine);
  RunSession(EventKind::NewAttempt);
  if (IsBinaryMode()) SetWindowTextA(app.controls.sendLine, "");

  char portText[kPortTextSize];
  GetWindowTextA(app.controls.portField, portText, sizeof portText);
  const int port = std::atoi(portText);
  if (!IsValidPort(port)) {
    AppendOutput(kInvalidPortLine);
    return;
  }
  char host[kHostTextSize];
  GetWindowTextA(app.controls.hostField, host, sizeof host);
  Event connect;
  connect.kind = EventKind::Connect;
  connect.tcp = app.choices.useTcp != 0;
  connect.text = host;
  connect.port = port;
  RunSession(connect);
}

void OnDisconnectCommand(WPARAM wParam) {
  SetFocus(app.controls.sendLine);
  if (HIWORD(wParam) == 0) RunSession(EventKind::Disconnect);
}

void OnSocketNotify(SOCKET socket, int event, int error) {
  // A late event of a session that has ended, or of an earlier one, does nothing.
  if (!IsSessionSocket(socket)) return;
  Event notified;
  notified.error = error;
  switch (event) {
    case FD_READ:
      notified.kind = EventKind::ReadReady;
      notified.inputWaiting = error == 0 && app.session.connected() &&
                              !app.session.readDeferred() && LoopHasWaitingMessages();
      break;
    case FD_WRITE: notified.kind = EventKind::WriteReady; break;
    case FD_CONNECT: notified.kind = EventKind::ConnectDone; break;
    case FD_CLOSE: notified.kind = EventKind::PeerClosed; break;
    default: return;
  }
  RunSession(notified);
}

void OnLookupDone(HANDLE request, int error) {
  if (!request || request != app.network.lookupRequest) return;  // cancelled with its attempt
  Event done;
  done.kind = EventKind::LookupDone;
  done.error = TakeLookupAnswer(error) ? 0 : (error != 0 ? error : WSANO_DATA);
  RunSession(done);
}

bool OnSessionTimer(UINT_PTR id) {
  switch (id) {
    case kConnectTimerId: RunTimerTick(Timer::Connect); return true;
    case kFrameTimerId: RunTimerTick(Timer::Frame); return true;
    case kSendWaitTimerId: RunTimerTick(Timer::SendWait); return true;
    case kReadResumeTimerId: RunTimerTick(Timer::ReadResume); return true;
    case kStepTimerId:
      KillTimer(app.controls.mainWindow, kStepTimerId);
      OnSessionStep();
      return true;
    default: return false;
  }
}

void OnSessionStep() { RunSession(EventKind::Step); }
