// The session core: reads, a peer's close, and when the pane catches up.
#include "rules/session_core.h"

#include "rules/session_actions.h"
#include "rules/texts.h"

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
    case ReadPurpose::AfterSend:  // a reply that is already there shows right after the echo
      out.push_back(DrawAction(kWholeBacklog));
      break;
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
  // The counter and status part 0 go with the pane, for the session that is open, also
  // when the user's own output drew what waited and this frame finds nothing left.
  if (connected()) {
    out.push_back(MakeAction(ActionKind::ShowCounters));
    if (!line_.inFlight) out.push_back(MakeAction(ActionKind::ShowStatus, kStatusReady));
  }
  Pace(step, out);
}

void SessionCore::Pace(const PaceStep& step, Actions& out) {
  switch (step.kind) {
    case PaceStep::Kind::Nothing: break;
    case PaceStep::Kind::Draw:
      if (step.stopFrame) out.push_back(TimerAction(ActionKind::StopTimer, Timer::Frame));
      out.push_back(DrawAction(step.chars));
      break;
    case PaceStep::Kind::ArmFrame:
      out.push_back(TimerAction(ActionKind::ArmTimer, Timer::Frame, step.wait));
      break;
    case PaceStep::Kind::PostStep: out.push_back(MakeAction(ActionKind::PostStep)); break;
  }
}
