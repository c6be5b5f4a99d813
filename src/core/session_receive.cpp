// The session core: reads, what they show, a peer's close, and when the pane catches up.
#include "core/session_core.h"
#include "core/session_texts.h"
#include "text/texts.h"

void SessionCore::On(const ev::ReadReady& event, Actions& out) {
  Open* o = open();
  if (!o) return;  // an attempt's, or a late one of a session that has ended
  if (event.error != 0) return End({Ending::Why::ReceiveError, event.error}, out);
  if (o->readDeferred) return;  // the waiting read takes this data too
  // What waits is asked again once paint is done: paint that is left, or input that
  // came meanwhile, puts the read off as well.
  if (event.paintWaiting) return out.push_back(act::Repaint{});
  ReadOrPutOff(*o, event.inputWaiting, out);
}

void SessionCore::On(const ev::Repainted& event, Actions& out) {
  Open* o = open();
  if (o && !o->readDeferred) ReadOrPutOff(*o, event.stillWaiting, out);
}

void SessionCore::ReadOrPutOff(Open& o, bool somethingWaits, Actions& out) {
  if (!somethingWaits) return ReadNow(o, ReadWhy::Notified, out);
  // The read waits for a timer, which the loop delivers only after all input and
  // paint. It is not lost: no new read event comes until the socket is read.
  o.readDeferred = true;
  out.push_back(act::ArmTimer{Timer::ReadResume, 0});
}

void SessionCore::ResumeRead(Actions& out, Millis within) {
  out.push_back(act::StopTimer{Timer::ReadResume});
  Open* o = open();
  if (!o || !o->readDeferred) return;
  o->readDeferred = false;
  ReadNow(*o, ReadWhy::Notified, out, within);
}

void SessionCore::On(const ev::DeliveredFirst& event, Actions& out) {
  ResumeRead(out, event.beforeUser ? kCatchUpReadMs : kDatagramReadMs);
}

// Winsock posts a new read event after every recv that leaves datagrams waiting;
// those would pile up, each costing the loop a round trip for nothing, so read events
// are off while datagrams are read. Turned on again, one comes at once for what waits.
void SessionCore::ReadNow(Open& o, ReadWhy why, Actions& out, Millis within) {
  o.read = ReadInProgress{why, now_ + within};
  if (!target_.tcp) out.push_back(act::WatchReads{false});
  out.push_back(act::Read{!target_.tcp});
}

// One recv: a stream's read shows what it found (a Binary dump line even of nothing),
// the reads before a close only what they found; each datagram is a read of its own.
void SessionCore::On(const ev::ReadDone& event, Actions& out) {
  Open* o = open();
  if (!o) return;
  ReadInProgress& read = o->read;
  const bool found = target_.tcp ? event.received > 0 : event.received >= 0;
  const bool shown = found || (target_.tcp && !o->closing);
  if (shown) out.push_back(act::QueueRead{event.bytes, event.received, mode_});
  if (event.received > 0) {
    counters_.sessionIn += event.received;
    counters_.totalIn += event.received;
    read.bytes += event.received;
  }
  if (target_.tcp) {
    read.more = event.received > 0 && event.more;
    if (o->closing && read.more) return ReadNow(*o, ReadWhy::Notified, out);
    return ReadFinished(*o, out);
  }
  if (!found) {
    // A datagram's host that refuses it fails the recv after: nothing listens at the
    // peer's port, which must not pass for a peer that merely stays silent.
    if (event.error != 0 && event.error != kWouldBlock) return Refused(*o, event.error, out);
    if (o->closing) return Refused(*o, 0, out);
    return out.push_back(act::WatchReads{true});  // none waits
  }
  ++read.datagrams;
  if (!o->closing && now_ >= read.until) {
    read.more = true;
    return out.push_back(act::WatchReads{true});
  }
  out.push_back(act::Read{true});
}

void SessionCore::On(const ev::ReadsWatched& event, Actions& out) {
  Open* o = open();
  if (!o) return;
  // The read right after a send finds nothing yet: like any read it ends a dump line.
  // A read event that finds nothing had its datagrams taken by an earlier read.
  if (o->read.datagrams == 0 && o->read.why == ReadWhy::AfterSend)
    out.push_back(act::QueueRead{{}, -1, mode_});
  // The socket could not be watched again after its datagrams were read.
  if (event.error != 0) return End({Ending::Why::ReceiveError, event.error}, out);
  ReadFinished(*o, out);
}

// A stream's read that left bytes waiting is part of a stream; datagrams come when
// they come, so any read that found one is.
bool SessionCore::Streaming(const ReadInProgress& read) const {
  return read.bytes > 0 && (read.more || !target_.tcp);
}

void SessionCore::ReadFinished(Open& o, Actions& out) {
  if (o.closing) return End({Ending::Why::PeerClosed, *o.closing}, out);
  switch (o.read.why) {
    case ReadWhy::Notified: Pace(pacer_.OnQueued(now_, Streaming(o.read)), out); break;
    case ReadWhy::AfterSend:  // a reply that is already there shows right after the echo
      out.push_back(act::Draw{kWholeBacklog});
      break;
  }
}

// A datagram socket has no peer to close it: a close event on one (Wine gives one where
// Windows fails the next recv) is a refusal too. Its code is the event's, else the
// recv's, else the one Windows reports.
void SessionCore::Refused(const Open& o, int readError, Actions& out) {
  const int code = o.closing && *o.closing != 0 ? *o.closing : readError;
  End({Ending::Why::ReceiveError, code != 0 ? code : kConnectionReset}, out);
}

// A peer that answers and closes at once can have its close reported before its data
// were read: they are read first, and the close follows them. The close is applied at
// once, so nothing the user does comes between the data and its line; the pane may
// still be catching up.
void SessionCore::On(const ev::PeerClosed& event, Actions& out) {
  Open* o = open();
  if (!o) return;
  o->closing = event.error;  // an orderly close and a reset read alike
  ReadNow(*o, ReadWhy::Notified, out);
}

void SessionCore::On(const ev::Drawn& event, Actions& out) {
  const PaceStep step = pacer_.OnDrawn(now_, event.chars, event.cost, event.more);
  // The counter and status part 0 go with the pane, for the session that is open, also
  // when the user's own output drew what waited and this frame finds nothing left.
  Idle* idle = std::get_if<Idle>(&phase_);
  if (idle && idle->viewDue && !event.more) {
    idle->viewDue = false;
    ShowView(out);
    ShowCounters(out);
  } else if (const Open* o = open()) {
    ShowCounters(out);
    if (!o->line) out.push_back(act::ShowActivity{kStatusReady});
  }
  Pace(step, out);
}

void SessionCore::Pace(const PaceStep& step, Actions& out) {
  switch (step.kind) {
    case PaceStep::Kind::Nothing: break;
    case PaceStep::Kind::Draw:
      if (step.stopFrame) out.push_back(act::StopTimer{Timer::Frame});
      out.push_back(act::Draw{step.chars});
      break;
    case PaceStep::Kind::ArmFrame: out.push_back(act::ArmTimer{Timer::Frame, step.wait}); break;
    case PaceStep::Kind::PostStep: out.push_back(act::PostStep{}); break;
  }
}
