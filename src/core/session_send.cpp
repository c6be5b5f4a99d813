// The session core: the line on its way out, from the send command to its echo or its report.
#include "core/session_core.h"
#include "core/session_lines.h"
#include "core/session_texts.h"
#include "text/texts.h"
#include "text/wire_bytes.h"

void SessionCore::On(const ev::Send& event, Actions& out) {
  Open* o = open();
  if (!o || o->line) return;  // one line at a time; the next waits
  out.push_back(act::ShowActivity{kStatusSending});
  std::string data;
  if (event.typed.empty()) return ShowView(out);
  if (!WireBytesOf(mode_, event.typed, data)) {
    // The line stays, to be corrected.
    Write(mode_ == TransferMode::Binary ? kHexErrorLine : kEscapeErrorLine, out);
    return ShowView(out);
  }
  o->line = OutgoingLine{false, std::nullopt, mode_, event.typed, std::move(data), 0};
  out.push_back(act::ClearSendLine{});  // free for the next line meanwhile
  ContinueLine(*o, out);
}

void SessionCore::ContinueLine(Open& o, Actions& out) {
  const OutgoingLine& line = *o.line;
  if (line.sent >= line.data.size()) return LineSent(o, out);
  out.push_back(act::SendBytes{line.data.substr(line.sent)});
}

void SessionCore::On(const ev::SendDone& event, Actions& out) {
  Open* o = open();
  if (!o || !o->line) return;
  OutgoingLine& line = *o->line;
  if (event.taken > 0) {
    // The echo comes before anything that can answer it.
    if (!line.echoed) Echo(line, out);
    line.sent += static_cast<size_t>(event.taken);
    counters_.sessionOut += event.taken;
    counters_.totalOut += event.taken;
    ShowCounters(out);
    return ContinueLine(*o, out);
  }
  const int error = event.error != 0 ? event.error : kWouldBlock;
  if (error != kWouldBlock) return LineFailed(*o, error, out);
  // The wait counts from the first time the socket had no room for this line.
  if (line.waitEnds) return;
  const Millis wait = RowOf(Timer::SendWait).period;
  line.waitEnds = now_ + wait;
  out.push_back(act::ArmTimer{Timer::SendWait, wait});
}

void SessionCore::Echo(OutgoingLine& line, Actions& out) {
  line.echoed = true;
  Write(kEchoPrompt, out);
  if (line.mode == TransferMode::Ascii) {
    Write(line.data, out);  // the line and its CR LF
  } else {
    Write(line.typed, out);  // escapes or hex, as typed
    Write(kLineBreak, out);
  }
}

void SessionCore::LineSent(Open& o, Actions& out) {
  if (!o.line->echoed) Echo(*o.line, out);
  if (o.line->waitEnds) out.push_back(act::StopTimer{Timer::SendWait});
  o.line.reset();
  out.push_back(act::ShowActivity{kStatusReady});
  if (!target_.tcp) ReadNow(o, ReadWhy::AfterSend, out);
}

// Nothing of the line went out and the peer merely takes no data: the session goes on
// and the line can be sent again. Anything else ends the session, since the peer may
// hold part of the line.
void SessionCore::LineFailed(Open& o, int error, Actions& out) {
  if (error == kWouldBlock && o.line->sent == 0) {
    GiveUpLine(o, error, false, out);
    return ShowView(out);
  }
  End({Ending::Why::SendError, error}, out);
}

void SessionCore::GiveUpLine(Open& o, int cause, bool queued, Actions& out) {
  const OutgoingLine& line = *o.line;
  std::string fate = LineFateText(cause, line.sent, line.data.size());
  if (queued)
    out.push_back(act::QueueLine{std::move(fate), mode_});
  else
    Write(std::move(fate), out);
  out.push_back(act::RestoreLine{line.typed});
  if (line.waitEnds) out.push_back(act::StopTimer{Timer::SendWait});
  o.line.reset();
}
