#include "session/session_runner.h"

#include "base/status_bar.h"
#include "rules/texts.h"
#include "session/socket_calls.h"
#include "view/connection_view.h"
#include "view/output_pane.h"
#include "view/status_parts.h"

namespace {

UINT_PTR TimerId(Timer timer) {
  switch (timer) {
    case Timer::Connect: return kConnectTimerId;
    case Timer::Frame: return kFrameTimerId;
    case Timer::SendWait: return kSendWaitTimerId;
    case Timer::ReadResume: return kReadResumeTimerId;
  }
  return 0;
}

Event Refused(Timer timer) {
  Event refused;
  refused.kind = EventKind::TimerRefused;
  refused.timer = timer;
  return refused;
}

bool ArmTimer(Timer timer, Millis ms, Event& result) {
  const UINT wait = ms > USER_TIMER_MINIMUM ? static_cast<UINT>(ms) : USER_TIMER_MINIMUM;
  if (SetTimer(app.controls.mainWindow, TimerId(timer), wait, nullptr)) return false;
  result = Refused(timer);
  return true;
}

// The next piece right after this message, or after the user's input and timers
// when some wait: the step then comes by a timer of its own.
bool PostStep(Event& result) {
  if (!HIWORD(GetQueueStatus(QS_INPUT | QS_TIMER)) &&
      PostMessageA(app.controls.mainWindow, kSessionStep, 0, 0))
    return false;
  if (SetTimer(app.controls.mainWindow, kStepTimerId, USER_TIMER_MINIMUM, nullptr)) return false;
  result = Refused(Timer::Frame);
  return true;
}

// Under Wine a theme adds tens of milliseconds to every change of the pane, whatever
// its size: pieces would only multiply that.
bool ThemeDrawsControls() {
  using IsThemeActiveCall = BOOL(WINAPI*)();
  const HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");  // loaded where themes are on
  const auto isThemeActive = uxtheme ? reinterpret_cast<IsThemeActiveCall>(reinterpret_cast<void*>(
                                           GetProcAddress(uxtheme, "IsThemeActive")))
                                     : nullptr;
  return isThemeActive && isThemeActive();
}

Event Draw(size_t chars) {
  if (ThemeDrawsControls()) chars = kWholeBacklog;
  const size_t waiting = QueuedOutputLength();
  const Millis start = GetTickCount64();
  Event drawn;
  drawn.kind = EventKind::Drawn;
  drawn.more = ShowQueuedOutputPart(chars);
  drawn.cost = GetTickCount64() - start;
  drawn.count = static_cast<int64_t>(waiting - QueuedOutputLength());
  return drawn;
}

void RestoreSendLine(const std::string& line) {
  if (GetWindowTextLengthA(app.controls.sendLine) == 0)
    SetWindowTextA(app.controls.sendLine, line.c_str());
}

void RememberTarget() {
  GetWindowTextA(app.controls.portField, app.choices.lastPort, sizeof app.choices.lastPort);
  GetWindowTextA(app.controls.hostField, app.choices.lastHost, sizeof app.choices.lastHost);
}

class WindowCarrier final : public SessionCarrier {
 public:
  Millis Now() override { return GetTickCount64(); }

  bool Carry(const Action& action, Event& result) override {
    switch (action.kind) {
      case ActionKind::Append: AppendOutput(action.text.c_str()); break;
      case ActionKind::Queue:
        QueueReceivedText(action.text.c_str(), static_cast<int>(action.text.size()));
        break;
      case ActionKind::ShowView: RefreshConnectionView(); break;
      case ActionKind::ShowCounters:
        ShowSessionBytesIn();
        ShowSessionBytesOut();
        break;
      case ActionKind::ShowStatus: SetStatusText(kStatusActivity, action.text.c_str()); break;
      case ActionKind::ClearSendLine: SetWindowTextA(app.controls.sendLine, ""); break;
      case ActionKind::RestoreLine: RestoreSendLine(action.text); break;
      case ActionKind::RememberTarget: RememberTarget(); break;
      case ActionKind::ArmTimer: return ArmTimer(action.timer, action.ms, result);
      case ActionKind::StopTimer: KillTimer(app.controls.mainWindow, TimerId(action.timer)); break;
      case ActionKind::PostStep: return PostStep(result);
      case ActionKind::Close: CloseSessionSocket(); break;
      case ActionKind::Open: result = OpenSessionSocket(action.tcp); return true;
      case ActionKind::Locate: result = LocateHost(action.text); return true;
      case ActionKind::ConnectSocket:
        result = ConnectSessionSocket(static_cast<int>(action.count));
        return true;
      case ActionKind::Read: result = ReadSessionSocket(action); return true;
      case ActionKind::Send: result = SendOnSessionSocket(action.text); return true;
      case ActionKind::Draw: result = Draw(action.chars); return true;
    }
    return false;
  }
};

}  // namespace

void RunSession(const Event& event) {
  WindowCarrier carrier;
  app.session.Run(event, carrier);
}

void ApplyDelivered() {
  if (app.session.readDeferred()) RunSession(EventKind::UserAction);
}

bool TranscriptUpToDate() { return !HasQueuedOutput() && app.session.paceIdle(); }
