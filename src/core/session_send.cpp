// The session core: the line on its way out, from the send command to its echo or its report.
#include "core/session_core.h"
#include "core/session_lines.h"
#include "core/session_texts.h"
#include "text/texts.h"
#include "text/wire_bytes.h"

void SessionCore::On(const ev::Send& event, Actions& out) {
  if (!connected() || line_.inFlight) return;  // one line at a time; the next waits
  out.push_back(act::ShowActivity{kStatusSending});
  std::string data;
  if (event.typed.empty()) return ShowView(out);
  if (!WireBytesOf(mode_, event.typed, data)) {
    // The line stays, to be corrected.
    Write(mode_ == TransferMode::Binary ? kHexErrorLine : kEscapeErrorLine, out);
    return ShowView(out);
  }
  line_ = OutgoingLine{};
  line_.inFlight = true;
  line_.mode = mode_;
  line_.typed = event.typed;
  line_.data = std::move(data);
  out.push_back(act::ClearSendLine{});  // free for the next line meanwhile
  ContinueLine(out);
}

void SessionCore::ContinueLine(Actions& out) {
  if (line_.sent >= line_.data.size()) return LineSent(out);
  out.push_back(act::SendBytes{line_.data.substr(line_.sent)});
}

void SessionCore::On(const ev::SendDone& event, Actions& out) {
  if (!line_.inFlight) return;
  if (event.taken > 0) {
    // The echo comes before anything that can answer it.
    if (!line_.echoed) Echo(out);
    line_.sent += static_cast<size_t>(event.taken);
    counters_.sessionOut += event.taken;
    counters_.totalOut += event.taken;
    ShowCounters(out);
    return ContinueLine(out);
  }
  const int error = event.error != 0 ? event.error : kWouldBlock;
  if (error != kWouldBlock) return LineFailed(error, out);
  // The wait counts from the first time the socket had no room for this line.
  if (line_.waiting) return;
  line_.waiting = true;
  line_.waitEnds = now_ + RowOf(Timer::SendWait).period;
  out.push_back(act::ArmTimer{Timer::SendWait, RowOf(Timer::SendWait).period});
}

void SessionCore::Echo(Actions& out) {
  line_.echoed = true;
  Write(kEchoPrompt, out);
  if (line_.mode == TransferMode::Ascii) {
    Write(line_.data, out);  // the line and its CR LF
  } else {
    Write(line_.typed, out);  // escapes or hex, as typed
    Write(kLineBreak, out);
  }
}

void SessionCore::LineSent(Actions& out) {
  if (!line_.echoed) Echo(out);
  if (line_.waiting) out.push_back(act::StopTimer{Timer::SendWait});
  line_ = OutgoingLine{};
  out.push_back(act::ShowActivity{kStatusReady});
  if (!target_.tcp) ReadNow(ReadWhy::AfterSend, out);
}

// Nothing of the line went out and the peer merely takes no data: the session goes on
// and the line can be sent again. Anything else ends the session, since the peer may
// hold part of the line.
void SessionCore::LineFailed(int error, Actions& out) {
  if (error == kWouldBlock && line_.sent == 0) {
    GiveUpLine(error, false, out);
    return ShowView(out);
  }
  End({Ending::Why::SendError, error}, out);
}

void SessionCore::GiveUpLine(int cause, bool queued, Actions& out) {
  std::string fate = LineFateText(cause, line_.sent, line_.data.size());
  if (queued)
    out.push_back(act::QueueLine{std::move(fate), mode_});
  else
    Write(std::move(fate), out);
  out.push_back(act::RestoreLine{line_.typed});
  if (line_.waiting) out.push_back(act::StopTimer{Timer::SendWait});
  line_ = OutgoingLine{};
}
