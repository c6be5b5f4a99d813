#include "session/session_runner.h"

#include "core/session_driver.h"
#include "session/socket_calls.h"
#include "view/connection_view.h"
#include "view/output_pane.h"
#include "view/status_parts.h"

namespace {

LONGLONG CounterNow() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

LONGLONG CounterPerSecond() {
  static const LONGLONG perSecond = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
  }();
  return perSecond;
}

// GetTickCount64 steps by 10 to 16 ms on Windows: too coarse for a 6 ms read.
Millis FineNow() {
  const LONGLONG perMilli = CounterPerSecond() >= 1000 ? CounterPerSecond() / 1000 : 1;
  return static_cast<Millis>(CounterNow() / perMilli);
}

void RestoreSendLine(HWND line, const std::string& typed) {
  if (GetWindowTextLengthA(line) != 0) return;
  SetWindowTextA(line, typed.c_str());
  // A correction typed next goes after the line, not in front of it.
  SendMessageA(line, EM_SETSEL, static_cast<WPARAM>(-2), static_cast<LPARAM>(-2));
}

void RememberTarget(Choices& choices, const act::RememberTarget& target) {
  lstrcpynA(choices.lastHost, target.host.c_str(), sizeof choices.lastHost);
  lstrcpynA(choices.lastPort, target.port.c_str(), sizeof choices.lastPort);
}

// Each action is carried out with what it carries and the handles it acts on.
class WindowPerformer final : public ActionPerformer {
 public:
  WindowPerformer(const Controls& controls, Network& network, Choices& choices)
      : controls_(controls), network_(network), choices_(choices) {}

  Millis Now() override { return FineNow(); }

  std::optional<Event> Perform(const Action& action) override {
    return std::visit([this](const auto& any) { return Do(any); }, action);
  }

 private:
  using Result = std::optional<Event>;
  static constexpr std::nullopt_t kNone = std::nullopt;

  Result Do(const act::Append& a) {
    AppendOutput(a.text.data(), a.text.empty() ? -1 : static_cast<int>(a.text.size()), a.mode);
    return kNone;
  }
  Result Do(const act::QueueLine& a) {
    QueueReceivedText(a.text.c_str(), static_cast<int>(a.text.size()), a.mode);
    return kNone;
  }
  Result Do(const act::QueueRead& a) {
    const char* bytes = a.count > 0 ? a.bytes.data() : "";
    if (a.mode == TransferMode::Binary)
      QueueHexDump(bytes, a.count);
    else
      QueueReceivedText(bytes, a.count, a.mode);
    return kNone;
  }
  // The pacer learns from each draw what a change of the pane costs on this system.
  Result Do(const act::Draw& a) {
    const size_t waiting = QueuedOutputLength();
    const LONGLONG start = CounterNow();
    ev::Drawn drawn;
    drawn.more = ShowQueuedOutputPart(a.chars);
    drawn.cost = static_cast<Micros>((CounterNow() - start) * 1000000 / CounterPerSecond());
    drawn.chars = waiting - QueuedOutputLength();
    return drawn;
  }
  Result Do(const act::ShowView& a) {
    ShowConnectionView(a.phase, a.host, a.port, a.mode);
    return kNone;
  }
  Result Do(const act::ShowCounters& a) {
    ShowByteCounts(a.in, a.out);
    return kNone;
  }
  Result Do(const act::ShowActivity& a) {
    ShowActivity(a.text);
    return kNone;
  }
  Result Do(const act::FocusSendLine&) {
    SetFocus(controls_.sendLine);
    return kNone;
  }
  Result Do(const act::ClearSendLine&) {
    SetWindowTextA(controls_.sendLine, "");
    return kNone;
  }
  Result Do(const act::RestoreLine& a) {
    RestoreSendLine(controls_.sendLine, a.typed);
    return kNone;
  }
  Result Do(const act::RememberTarget& a) {
    RememberTarget(choices_, a);
    return kNone;
  }
  Result Do(const act::Repaint&) {
    RedrawWindow(controls_.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return ev::Repainted{WaitingBehindRead() != 0};
  }
  Result Do(const act::ArmTimer& a) {
    const UINT wait = a.wait > USER_TIMER_MINIMUM ? static_cast<UINT>(a.wait) : USER_TIMER_MINIMUM;
    if (SetTimer(controls_.mainWindow, RowOf(a.timer).id, wait, nullptr)) return kNone;
    return ev::TimerRefused{a.timer};
  }
  Result Do(const act::StopTimer& a) {
    KillTimer(controls_.mainWindow, RowOf(a.timer).id);
    return kNone;
  }
  // The next piece right after this message, or after the user's input and timers
  // when some wait: the step then comes by a timer of its own.
  Result Do(const act::PostStep&) {
    if (!HIWORD(GetQueueStatus(QS_INPUT | QS_TIMER)) &&
        PostMessageA(controls_.mainWindow, kSessionStep, 0, 0))
      return kNone;
    if (SetTimer(controls_.mainWindow, RowOf(Timer::Step).id, USER_TIMER_MINIMUM, nullptr))
      return kNone;
    return ev::StepRefused{};
  }
  Result Do(const act::MakeSocket& a) {
    return MakeSessionSocket(network_, controls_.mainWindow, a.tcp);
  }
  Result Do(const act::FindHost& a) { return FindHost(network_, controls_.mainWindow, a.host); }
  Result Do(const act::ConnectSocket& a) { return ConnectSessionSocket(network_, a.port); }
  Result Do(const act::Read& a) { return ReadSessionSocket(network_, a.datagram); }
  Result Do(const act::WatchReads& a) {
    const int error = WatchReads(network_, controls_.mainWindow, a.on);
    if (!a.on) return kNone;
    return ev::ReadsWatched{error};
  }
  Result Do(const act::SendBytes& a) { return SendOnSessionSocket(network_, a.bytes); }
  Result Do(const act::CloseSocket&) {
    CloseSessionSocket(network_, controls_.mainWindow);
    return kNone;
  }

  const Controls& controls_;
  Network& network_;
  Choices& choices_;
};

SessionDriver& Driver() {
  static SessionDriver driver(app.session);
  return driver;
}

}  // namespace

void RunSession(const Event& event) {
  WindowPerformer performer(app.controls, app.network, app.choices);
  Driver().Run(event, performer);
}

void ApplyDelivered() { RunSession(ev::OtherCommand{}); }

bool TranscriptUpToDate() { return !HasQueuedOutput() && app.session.paceIdle(); }

unsigned WaitingBehindRead() { return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)); }
