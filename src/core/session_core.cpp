// The session core: one handler per event, and the few events that need no file of their own.
#include "core/session_core.h"

#include "core/session_texts.h"
#include "text/texts.h"

namespace {

// A read is put off so that the user's input goes first; the posted messages that
// come before input leave it put off unless what they do must follow that data.
// Results, lookups, connects and draw steps never apply it.
template <class AnyEvent>
bool GoesAfterDelivered(const AnyEvent&) {
  return false;
}
bool GoesAfterDelivered(const ev::Connect&) { return true; }
bool GoesAfterDelivered(const ev::Disconnect&) { return true; }
bool GoesAfterDelivered(const ev::Send&) { return true; }
bool GoesAfterDelivered(const ev::ModeSwitched&) { return true; }
bool GoesAfterDelivered(const ev::OtherCommand&) { return true; }
bool GoesAfterDelivered(const ev::PeerClosed&) { return true; }
// A plain one leaves the data to the waiting read; an error ends the session after it.
bool GoesAfterDelivered(const ev::ReadReady& event) { return event.error != 0; }
// A draw step, like a resumed read, never applies what was delivered first.
bool GoesAfterDelivered(const ev::TimerFired& event) {
  switch (event.timer) {
    case Timer::Dots:
    case Timer::Frame:
    case Timer::SendWait: return true;
    case Timer::ReadResume:
    case Timer::Step: return false;
  }
  return true;
}

}  // namespace

bool SessionCore::IsUserCommand(const Event& event) {
  return std::holds_alternative<ev::Connect>(event) ||
         std::holds_alternative<ev::Disconnect>(event) || std::holds_alternative<ev::Send>(event) ||
         std::holds_alternative<ev::ModeSwitched>(event) ||
         std::holds_alternative<ev::OtherCommand>(event);
}

bool SessionCore::AppliesDeliveredFirst(const Event& event) const {
  if (!readDeferred_) return false;
  // A write event matters only to the line in flight, whose echo or report follows.
  if (std::holds_alternative<ev::WriteReady>(event)) return line_.inFlight;
  return std::visit([](const auto& any) { return GoesAfterDelivered(any); }, event);
}

Actions SessionCore::Handle(const Event& event, Millis now) {
  now_ = now;
  Actions out;
  std::visit([&](const auto& any) { On(any, out); }, event);
  return out;
}

void SessionCore::Write(std::string text, Actions& out) const {
  out.push_back(act::Append{std::move(text), mode_});
}

void SessionCore::ShowView(Actions& out) const {
  out.push_back(act::ShowView{target_.phase, target_.host, target_.portText, mode_});
}

void SessionCore::ShowCounters(Actions& out) const {
  out.push_back(act::ShowCounters{counters_.sessionIn, counters_.sessionOut});
}

void SessionCore::On(const ev::Disconnect&, Actions& out) {
  if (connected()) End({Ending::Why::Disconnect, kShutDown}, out);
}

void SessionCore::On(const ev::ModeSwitched& event, Actions&) { mode_ = event.mode; }

// What it needed is done: what was delivered before it is applied.
void SessionCore::On(const ev::OtherCommand&, Actions&) {}

void SessionCore::On(const ev::WindowClosing&, Actions& out) {
  if (!idle()) End({Ending::Why::Shutdown}, out);
}

void SessionCore::On(const ev::WriteReady& event, Actions& out) {
  if (!connected() || !line_.inFlight) return;
  if (event.error != 0) return LineFailed(event.error, out);
  ContinueLine(out);
}

void SessionCore::On(const ev::TimerFired& event, Actions& out) {
  switch (event.timer) {
    case Timer::Dots:
      // The timer ends at its first tick after the attempt has ended, whichever way.
      if (target_.phase == Phase::Connecting)
        Write(kConnectDot, out);
      else if (!connecting())
        out.push_back(act::StopTimer{Timer::Dots});
      break;
    case Timer::Frame: Pace(pacer_.OnFrameDue(), out); break;
    case Timer::SendWait:
      // A tick queued before its timer was stopped may come after the next line began
      // a wait of its own: that wait, and its timer, go on.
      if (line_.waiting && now_ + kTimerSlackMs < line_.waitEnds) break;
      out.push_back(act::StopTimer{Timer::SendWait});
      if (!line_.waiting) break;  // a tick left from a line that has gone
      line_.waiting = false;
      if (line_.inFlight) LineFailed(kWouldBlock, out);
      break;
    case Timer::ReadResume: ResumeRead(out); break;
    case Timer::Step:
      out.push_back(act::StopTimer{Timer::Step});
      On(ev::DrawStep{}, out);
      break;
  }
}

void SessionCore::On(const ev::TimerRefused& event, Actions& out) {
  switch (event.timer) {
    case Timer::Dots: break;  // no dots, nothing worse
    case Timer::Frame: On(ev::StepRefused{}, out); break;
    case Timer::SendWait:  // without it the wait could never end
      line_.waiting = false;
      if (line_.inFlight) LineFailed(kWouldBlock, out);
      break;
    case Timer::ReadResume: ResumeRead(out); break;  // read now rather than never
    case Timer::Step: On(ev::StepRefused{}, out); break;
  }
}

// Neither a timer nor a step: draw now rather than late.
void SessionCore::On(const ev::StepRefused&, Actions& out) {
  pacer_.OnRefused();
  out.push_back(act::Draw{kWholeBacklog});
}

void SessionCore::On(const ev::DrawStep&, Actions& out) { Pace(pacer_.OnStep(), out); }
