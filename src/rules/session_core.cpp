#include "rules/session_core.h"

#include <cstdarg>
#include <cstdio>

#include "rules/session_actions.h"
#include "rules/session_texts.h"
#include "rules/texts.h"

// A read is put off so that the user's input goes first; the posted messages that
// come before input leave it put off unless what they do must follow that data.
bool SessionCore::AppliesDeliveredFirst(const Event& event) const {
  switch (event.kind) {
    case EventKind::ReadReady: return event.error != 0;  // a plain one: the waiting read takes it
    case EventKind::WriteReady: return line_.inFlight;   // the line's echo or report follows
    case EventKind::Tick: return event.timer != Timer::ReadResume;
    case EventKind::ConnectDone:  // nothing is read before a session is open
    case EventKind::LookupDone:
    case EventKind::Step:  // it only draws
    case EventKind::Shutdown:
    case EventKind::Opened:
    case EventKind::Located:
    case EventKind::Called:
    case EventKind::ReadDone:
    case EventKind::SendDone:
    case EventKind::Drawn:
    case EventKind::TimerRefused: return false;
    case EventKind::UserAction:
    case EventKind::NewAttempt:
    case EventKind::Connect:
    case EventKind::Disconnect:
    case EventKind::SendLine:
    case EventKind::PeerClosed: return true;
  }
  return true;
}

std::string FormatLine(const char* format, ...) {
  char text[160];  // the longest line holds a 63-character host
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp) {
  if (result == 0) return tcp ? ConnectOutcome::Established : ConnectOutcome::UdpReady;
  if (code == kWouldBlock) return ConnectOutcome::Pending;
  return ConnectOutcome::Failed;
}

void SessionCore::Run(const Event& event, SessionCarrier& carrier) {
  if (depth_ == 0 && readDeferred_ && AppliesDeliveredFirst(event)) {
    Event resume;
    resume.kind = EventKind::Tick;
    resume.timer = Timer::ReadResume;
    Run(resume, carrier);
  }
  ++depth_;
  const Actions actions = Handle(event, carrier.Now());
  for (const Action& action : actions) {
    Event result;
    if (carrier.Carry(action, result)) Run(result, carrier);
  }
  --depth_;
}

Actions SessionCore::Handle(const Event& event, Millis now) {
  now_ = now;
  Actions out;
  switch (event.kind) {
    case EventKind::UserAction: break;  // what it needed is done: the delivered is applied
    case EventKind::NewAttempt:
      counters_.sessionIn = 0;
      counters_.sessionOut = 0;
      out.push_back(MakeAction(ActionKind::ShowCounters));
      break;
    case EventKind::Connect: OnConnect(event, out); break;
    case EventKind::Disconnect:
      if (connected()) End({Ending::Why::Disconnect, kShutDown}, out);
      break;
    case EventKind::SendLine: OnSendLine(event, out); break;
    case EventKind::Shutdown:
      if (!idle()) End({Ending::Why::Shutdown}, out);
      break;
    case EventKind::ReadReady: OnReadReady(event, out); break;
    case EventKind::WriteReady:
      if (!connected() || !line_.inFlight) break;
      if (event.error != 0)
        LineFailed(event.error, out);
      else
        ContinueLine(out);
      break;
    case EventKind::ConnectDone: OnConnectDone(event, out); break;
    case EventKind::PeerClosed: OnPeerClosed(event, out); break;
    case EventKind::LookupDone:
      if (phase_ != Phase::Resolving) break;  // cancelled, or a late answer
      phase_ = Phase::Opening;
      if (event.error != 0)
        End({Ending::Why::Failed, 0, OpenStage::Lookup}, out);
      else
        out.push_back(ConnectAction());
      break;
    case EventKind::Tick: OnTick(event, out); break;
    case EventKind::Step: Pace(pacer_.OnStep(), out); break;
    case EventKind::Opened: OnOpened(event, out); break;
    case EventKind::Located: OnLocated(event, out); break;
    case EventKind::Called: OnCalled(event, out); break;
    case EventKind::ReadDone: OnReadDone(event, out); break;
    case EventKind::SendDone: OnSendDone(event, out); break;
    case EventKind::Drawn: OnDrawn(event, out); break;
    case EventKind::TimerRefused: OnTimerRefused(event, out); break;
  }
  return out;
}

void SessionCore::OnTick(const Event& event, Actions& out) {
  switch (event.timer) {
    case Timer::Connect:
      // The timer ends at its first tick after the attempt has ended, whichever way.
      if (phase_ == Phase::Connecting)
        out.push_back(MakeAction(ActionKind::Append, kConnectDot));
      else if (!connecting())
        out.push_back(TimerAction(ActionKind::StopTimer, Timer::Connect));
      break;
    case Timer::Frame: Pace(pacer_.OnFrameDue(), out); break;
    case Timer::SendWait:
      out.push_back(TimerAction(ActionKind::StopTimer, Timer::SendWait));
      if (!line_.waiting) break;  // a tick left from a line that has gone
      line_.waiting = false;
      if (line_.inFlight) LineFailed(kWouldBlock, out);
      break;
    case Timer::ReadResume: ResumeRead(out); break;
  }
}

void SessionCore::OnTimerRefused(const Event& event, Actions& out) {
  switch (event.timer) {
    case Timer::Connect: break;  // no dots, nothing worse
    case Timer::Frame:           // neither a timer nor a step: draw now rather than late
      pacer_.OnRefused();
      out.push_back(DrawAction(kWholeBacklog));
      break;
    case Timer::SendWait:  // without it the wait could never end
      line_.waiting = false;
      if (line_.inFlight) LineFailed(kWouldBlock, out);
      break;
    case Timer::ReadResume: ResumeRead(out); break;  // read now rather than never
  }
}
