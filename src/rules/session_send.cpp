// The session core: the line on its way out, from the send command to its echo or its report.
#include "rules/session_core.h"

#include "rules/session_actions.h"
#include "rules/session_texts.h"
#include "rules/texts.h"

std::string LineFateText(int error, size_t sent, size_t count) {
  if (sent == 0) return FormatLine(kSendErrorFormat, error);
  return FormatLine(kSendCutShortFormat, error, static_cast<int>(sent), static_cast<int>(count));
}

void SessionCore::OnSendLine(const Event& event, Actions& out) {
  if (!connected() || line_.inFlight) return;  // one line at a time
  line_ = OutgoingLine{};
  line_.inFlight = true;
  line_.mode = event.mode;
  line_.typed = event.text;
  line_.data = event.data;
  out.push_back(MakeAction(ActionKind::ClearSendLine));  // free for the next line meanwhile
  ContinueLine(out);
}

void SessionCore::ContinueLine(Actions& out) {
  if (line_.sent >= line_.data.size()) return LineSent(out);
  out.push_back(MakeAction(ActionKind::Send, line_.data.substr(line_.sent)));
}

void SessionCore::OnSendDone(const Event& event, Actions& out) {
  if (!line_.inFlight) return;
  if (event.count > 0) {
    // The echo comes before anything that can answer it.
    if (!line_.echoed) Echo(out);
    line_.sent += static_cast<size_t>(event.count);
    counters_.sessionOut += event.count;
    counters_.totalOut += event.count;
    out.push_back(MakeAction(ActionKind::ShowCounters));
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
  out.push_back(MakeAction(ActionKind::Append, kEchoPrompt));
  if (line_.mode == TransferMode::Ascii) {
    out.push_back(MakeAction(ActionKind::Append, line_.data));  // the line and its CR LF
  } else {
    out.push_back(MakeAction(ActionKind::Append, line_.typed));  // escapes or hex, as typed
    out.push_back(MakeAction(ActionKind::Append, kLineBreak));
  }
}

void SessionCore::LineSent(Actions& out) {
  if (!line_.echoed) Echo(out);
  if (line_.waiting) out.push_back(TimerAction(ActionKind::StopTimer, Timer::SendWait));
  line_ = OutgoingLine{};
  out.push_back(MakeAction(ActionKind::ShowStatus, kStatusReady));
  if (!tcp_) ReadNow(ReadPurpose::AfterSend, out);
}

// Nothing of the line went out and the peer merely takes no data: the session goes on
// and the line can be sent again. Anything else ends the session, since the peer may
// hold part of the line.
void SessionCore::LineFailed(int error, Actions& out) {
  if (error == kWouldBlock && line_.sent == 0) {
    GiveUpLine(error, false, out);
    out.push_back(MakeAction(ActionKind::ShowView));
    return;
  }
  End({Ending::Why::SendError, error}, out);
}

void SessionCore::GiveUpLine(int cause, bool queued, Actions& out) {
  out.push_back(MakeAction(queued ? ActionKind::Queue : ActionKind::Append,
                           LineFateText(cause, line_.sent, line_.data.size())));
  out.push_back(MakeAction(ActionKind::RestoreLine, line_.typed));
  if (line_.waiting) out.push_back(TimerAction(ActionKind::StopTimer, Timer::SendWait));
  line_ = OutgoingLine{};
}
