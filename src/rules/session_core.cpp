#include "rules/session_core.h"

#include <cstdarg>
#include <cstdio>

#include "rules/session_texts.h"
#include "rules/texts.h"

namespace {

std::string Format(const char* format, ...) {
  char text[160];  // the longest line holds a 63-character host
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  return text;
}

Action Make(ActionKind kind, std::string text = std::string()) {
  Action action(kind);
  action.text = std::move(text);
  return action;
}

Action TimerAction(ActionKind kind, Timer timer, Millis ms = 0) {
  Action action(kind);
  action.timer = timer;
  action.ms = ms;
  return action;
}

}  // namespace

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

ConnectOutcome DecideConnectOutcome(int result, int code, bool tcp) {
  if (result == 0) return tcp ? ConnectOutcome::Established : ConnectOutcome::UdpReady;
  if (code == kWouldBlock) return ConnectOutcome::Pending;
  return ConnectOutcome::Failed;
}

std::string LineFateText(int error, size_t sent, size_t count) {
  if (sent == 0) return Format(kSendErrorFormat, error);
  return Format(kSendCutShortFormat, error, static_cast<int>(sent), static_cast<int>(count));
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
      out.push_back(Make(ActionKind::ShowCounters));
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

// --- connecting ---

void SessionCore::OnConnect(const Event& event, Actions& out) {
  if (!idle()) return;
  phase_ = Phase::Opening;
  tcp_ = event.tcp;  // a switch of protocol from now on is for the next attempt
  pacer_.SetLossy(!tcp_);
  host_ = event.text;
  port_ = event.port;
  out.push_back(Make(ActionKind::ShowView));
  out.push_back(Make(ActionKind::Append, Format(kConnectingFormat, host_.c_str(), port_)));
  // Its result comes only when refused, and then changes nothing: there are no dots.
  out.push_back(TimerAction(ActionKind::ArmTimer, Timer::Connect, kConnectTickMs));
  Action open(ActionKind::Open);
  open.tcp = tcp_;
  out.push_back(open);
}

void SessionCore::OnOpened(const Event& event, Actions& out) {
  if (phase_ != Phase::Opening) return;
  if (!event.ok) return End({Ending::Why::Failed, event.error, event.stage}, out);
  out.push_back(Make(ActionKind::Locate, host_));
}

void SessionCore::OnLocated(const Event& event, Actions& out) {
  if (phase_ != Phase::Opening) return;
  if (!event.ok) return End({Ending::Why::Failed, 0, OpenStage::Lookup}, out);
  if (event.more) {
    // Dots are for a pending connect: a lookup adds none.
    phase_ = Phase::Resolving;
    out.push_back(Make(ActionKind::ShowStatus, kStatusResolving));
    return;
  }
  out.push_back(ConnectAction());
}

Action SessionCore::ConnectAction() const {
  Action connect(ActionKind::ConnectSocket);
  connect.count = port_;
  return connect;
}

void SessionCore::OnCalled(const Event& event, Actions& out) {
  if (phase_ != Phase::Opening) return;
  switch (DecideConnectOutcome(static_cast<int>(event.count), event.error, tcp_)) {
    case ConnectOutcome::Pending: phase_ = Phase::Connecting; break;  // FD_CONNECT decides
    case ConnectOutcome::Established:                                 // its FD_CONNECT is ignored
      counters_.sessionIn = 0;
      counters_.sessionOut = 0;
      Establish(out);
      break;
    case ConnectOutcome::UdpReady:
      phase_ = Phase::Connected;
      ++counters_.succeeded;
      out.push_back(Make(ActionKind::ShowView));
      out.push_back(Make(ActionKind::Append, kUdpReadyLine));
      out.push_back(Make(ActionKind::RememberTarget));
      break;
    case ConnectOutcome::Failed:
      End({Ending::Why::Failed, event.error, OpenStage::Connect}, out);
      break;
  }
}

void SessionCore::OnConnectDone(const Event& event, Actions& out) {
  if (phase_ != Phase::Connecting) return;
  counters_.sessionIn = 0;
  counters_.sessionOut = 0;
  if (event.error == 0) return Establish(out);
  ++counters_.failed;
  End({Ending::Why::ConnectError, event.error}, out);
}

void SessionCore::Establish(Actions& out) {
  phase_ = Phase::Connected;
  ++counters_.succeeded;
  out.push_back(Make(ActionKind::Append, kEstablishedLine));
  out.push_back(Make(ActionKind::ShowView));
  out.push_back(Make(ActionKind::RememberTarget));
}

void SessionCore::OnTick(const Event& event, Actions& out) {
  switch (event.timer) {
    case Timer::Connect:
      // The timer ends at its first tick after the attempt has ended, whichever way.
      if (phase_ == Phase::Connecting)
        out.push_back(Make(ActionKind::Append, kConnectDot));
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
    case Timer::Frame: {
      // Neither a timer nor a step: draw now rather than late.
      pacer_.OnRefused();
      Action draw(ActionKind::Draw);
      draw.chars = kWholeBacklog;
      out.push_back(draw);
      break;
    }
    case Timer::SendWait:  // without it the wait could never end
      line_.waiting = false;
      if (line_.inFlight) LineFailed(kWouldBlock, out);
      break;
    case Timer::ReadResume: ResumeRead(out); break;  // read now rather than never
  }
}

// --- receiving ---

void SessionCore::OnReadReady(const Event& event, Actions& out) {
  if (!connected()) return;  // an attempt's, or a late one of a session that has ended
  if (event.error != 0) return End({Ending::Why::ReceiveError, event.error}, out);
  if (readDeferred_) return;  // the waiting read takes this data too
  if (event.inputWaiting) {
    // The read waits for a timer, which the loop delivers only after all input and
    // paint. It is not lost: no new read event comes until the socket is read.
    readDeferred_ = true;
    out.push_back(TimerAction(ActionKind::ArmTimer, Timer::ReadResume, 0));
    return;
  }
  ReadNow(ReadPurpose::Event, out);
}

void SessionCore::ResumeRead(Actions& out) {
  out.push_back(TimerAction(ActionKind::StopTimer, Timer::ReadResume));
  if (!readDeferred_) return;
  readDeferred_ = false;
  if (connected()) ReadNow(ReadPurpose::Event, out);
}

void SessionCore::ReadNow(ReadPurpose purpose, Actions& out) {
  Action read(ActionKind::Read);
  read.purpose = purpose;
  read.tcp = tcp_;
  read.ms = now_ + kDatagramReadMs;
  out.push_back(read);
}

void SessionCore::OnReadDone(const Event& event, Actions& out) {
  if (event.count > 0) {
    counters_.sessionIn += event.count;
    counters_.totalIn += event.count;
  }
  // The socket could not be watched again after its datagrams were read.
  if (event.error != 0 && connected()) return End({Ending::Why::ReceiveError, event.error}, out);
  switch (event.purpose) {
    case ReadPurpose::Event: Pace(pacer_.OnQueued(now_, event.count > 0 && event.more), out); break;
    case ReadPurpose::AfterSend: {
      // A reply that is already there shows right after the echo.
      Action draw(ActionKind::Draw);
      draw.chars = kWholeBacklog;
      out.push_back(draw);
      break;
    }
    case ReadPurpose::BeforeClose: End({Ending::Why::PeerClosed, closeCode_}, out); break;
  }
}

// A peer that answers and closes at once can have its close reported before its data
// were read: they are read first, and the close follows them. The close is applied at
// once, so nothing the user does comes between the data and its line; the pane may
// still be catching up.
void SessionCore::OnPeerClosed(const Event& event, Actions& out) {
  if (!connected()) return;
  closeCode_ = event.error;  // an orderly close and a reset read alike
  ReadNow(ReadPurpose::BeforeClose, out);
}

void SessionCore::OnDrawn(const Event& event, Actions& out) {
  const PaceStep step =
      pacer_.OnDrawn(now_, static_cast<size_t>(event.count), event.cost, event.more);
  // The counter and status part 0 go with the pane, for the session that is open.
  if (event.count > 0 && connected()) {
    out.push_back(Make(ActionKind::ShowCounters));
    if (!line_.inFlight) out.push_back(Make(ActionKind::ShowStatus, kStatusReady));
  }
  Pace(step, out);
}

void SessionCore::Pace(const PaceStep& step, Actions& out) {
  switch (step.kind) {
    case PaceStep::Kind::Nothing: break;
    case PaceStep::Kind::Draw: {
      if (step.stopFrame) out.push_back(TimerAction(ActionKind::StopTimer, Timer::Frame));
      Action draw(ActionKind::Draw);
      draw.chars = step.chars;
      out.push_back(draw);
      break;
    }
    case PaceStep::Kind::ArmFrame:
      out.push_back(TimerAction(ActionKind::ArmTimer, Timer::Frame, step.wait));
      break;
    case PaceStep::Kind::PostStep: out.push_back(Make(ActionKind::PostStep)); break;
  }
}

// --- sending ---

void SessionCore::OnSendLine(const Event& event, Actions& out) {
  if (!connected() || line_.inFlight) return;  // one line at a time
  line_ = OutgoingLine{};
  line_.inFlight = true;
  line_.mode = event.mode;
  line_.typed = event.text;
  line_.data = event.data;
  out.push_back(Make(ActionKind::ClearSendLine));  // free for the next line meanwhile
  ContinueLine(out);
}

void SessionCore::ContinueLine(Actions& out) {
  if (line_.sent >= line_.data.size()) return LineSent(out);
  out.push_back(Make(ActionKind::Send, line_.data.substr(line_.sent)));
}

void SessionCore::OnSendDone(const Event& event, Actions& out) {
  if (!line_.inFlight) return;
  if (event.count > 0) {
    // The echo comes before anything that can answer it.
    if (!line_.echoed) Echo(out);
    line_.sent += static_cast<size_t>(event.count);
    counters_.sessionOut += event.count;
    counters_.totalOut += event.count;
    out.push_back(Make(ActionKind::ShowCounters));
    return ContinueLine(out);
  }
  const int error = event.error != 0 ? event.error : kWouldBlock;
  if (error != kWouldBlock) return LineFailed(error, out);
  // The wait counts from the first time the socket had no room for this line.
  if (line_.waiting) return;
  line_.waiting = true;
  out.push_back(TimerAction(ActionKind::ArmTimer, Timer::SendWait, kSendWaitMs));
}

void SessionCore::Echo(Actions& out) {
  line_.echoed = true;
  out.push_back(Make(ActionKind::Append, kEchoPrompt));
  if (line_.mode == TransferMode::Ascii) {
    out.push_back(Make(ActionKind::Append, line_.data));  // the line and its CR LF
  } else {
    out.push_back(Make(ActionKind::Append, line_.typed));  // escapes or hex, as typed
    out.push_back(Make(ActionKind::Append, kLineBreak));
  }
}

void SessionCore::LineSent(Actions& out) {
  if (!line_.echoed) Echo(out);
  if (line_.waiting) out.push_back(TimerAction(ActionKind::StopTimer, Timer::SendWait));
  line_ = OutgoingLine{};
  out.push_back(Make(ActionKind::ShowStatus, kStatusReady));
  if (!tcp_) ReadNow(ReadPurpose::AfterSend, out);
}

// Nothing of the line went out and the peer merely takes no data: the session goes on
// and the line can be sent again. Anything else ends the session, since the peer may
// hold part of the line.
void SessionCore::LineFailed(int error, Actions& out) {
  if (error == kWouldBlock && line_.sent == 0) {
    GiveUpLine(error, false, out);
    out.push_back(Make(ActionKind::ShowView));
    return;
  }
  End({Ending::Why::SendError, error}, out);
}

void SessionCore::GiveUpLine(int cause, bool queued, Actions& out) {
  out.push_back(Make(queued ? ActionKind::Queue : ActionKind::Append,
                     LineFateText(cause, line_.sent, line_.data.size())));
  out.push_back(Make(ActionKind::RestoreLine, line_.typed));
  if (line_.waiting) out.push_back(TimerAction(ActionKind::StopTimer, Timer::SendWait));
  line_ = OutgoingLine{};
}

// --- the end ---

void SessionCore::End(const Ending& ending, Actions& out) {
  using Why = Ending::Why;
  // The close line follows the peer's last bytes, which may still wait to be drawn.
  const bool queued = ending.why == Why::PeerClosed;
  const ActionKind write = queued ? ActionKind::Queue : ActionKind::Append;
  if (line_.inFlight) {
    int cause = ending.code;
    if (ending.why == Why::Disconnect) cause = kShutDown;
    if (ending.why == Why::PeerClosed && cause == 0) cause = kPeerDisconnect;
    if (ending.why == Why::Shutdown)
      line_ = OutgoingLine{};
    else
      GiveUpLine(cause, queued, out);
  }
  switch (ending.why) {
    case Why::Failed:
      switch (ending.stage) {
        case OpenStage::Socket:
          out.push_back(Make(write, Format(kSocketFailedFormat, ending.code)));
          break;
        case OpenStage::Select:
          out.push_back(Make(write, Format(kSelectFailedFormat, ending.code)));
          break;
        case OpenStage::Lookup: out.push_back(Make(write, kResolveErrorLine)); break;
        case OpenStage::Connect:
          out.push_back(Make(write, Format(kConnectErrorFormat, ending.code)));
          break;
      }
      out.push_back(Make(write, kConnectionFailedLine));
      break;
    case Why::ConnectError:
      if (ending.code == kTimedOut)
        out.push_back(Make(write, kTimedOutLine));
      else if (ending.code == kRefused)
        out.push_back(Make(write, kRefusedLine));
      else
        out.push_back(Make(write, Format(kConnectFailedFormat, ending.code)));
      break;
    case Why::Disconnect: out.push_back(Make(write, kDisconnectedLine)); break;
    case Why::PeerClosed:
      out.push_back(Make(write, Format(kClosedByPeerFormat, host_.c_str())));
      break;
    case Why::ReceiveError:
      out.push_back(Make(write, Format(kReceiveErrorFormat, ending.code)));
      break;
    case Why::SendError:  // the line's own report says it
    case Why::Shutdown: break;
  }
  if (readDeferred_) {
    readDeferred_ = false;
    out.push_back(TimerAction(ActionKind::StopTimer, Timer::ReadResume));
  }
  phase_ = Phase::Idle;
  out.push_back(Make(ActionKind::Close));
  if (ending.why == Why::Shutdown) return;
  out.push_back(Make(ActionKind::ShowView));
  out.push_back(Make(ActionKind::ShowCounters));
  if (queued) Pace(pacer_.OnQueued(now_, false), out);
}
