// The session core: the one place where a session or an attempt ends.
#include "rules/session_core.h"

#include "rules/session_actions.h"
#include "rules/session_texts.h"

namespace {

// The line a failure before the peer could answer starts with.
std::string FailureLine(OpenStage stage, int code) {
  switch (stage) {
    case OpenStage::Socket: return FormatLine(kSocketFailedFormat, code);
    case OpenStage::Select: return FormatLine(kSelectFailedFormat, code);
    case OpenStage::Lookup: return kResolveErrorLine;
    case OpenStage::Connect: return FormatLine(kConnectErrorFormat, code);
  }
  return std::string();
}

std::string ConnectErrorLine(int code) {
  if (code == kTimedOut) return kTimedOutLine;
  if (code == kRefused) return kRefusedLine;
  return FormatLine(kConnectFailedFormat, code);
}

}  // namespace

void SessionCore::WriteEndingLines(const Ending& ending, ActionKind write, Actions& out) {
  using Why = Ending::Why;
  switch (ending.why) {
    case Why::Failed:
      out.push_back(MakeAction(write, FailureLine(ending.stage, ending.code)));
      out.push_back(MakeAction(write, kConnectionFailedLine));
      break;
    case Why::ConnectError: out.push_back(MakeAction(write, ConnectErrorLine(ending.code))); break;
    case Why::Disconnect: out.push_back(MakeAction(write, kDisconnectedLine)); break;
    case Why::PeerClosed:
      out.push_back(MakeAction(write, FormatLine(kClosedByPeerFormat, host_.c_str())));
      break;
    case Why::ReceiveError:
      out.push_back(MakeAction(write, FormatLine(kReceiveErrorFormat, ending.code)));
      break;
    case Why::SendError:  // the line's own report says it
    case Why::Shutdown: break;
  }
}

// What ended a line still on its way out: the Winsock number of the cause.
int SessionCore::LineCause(const Ending& ending) {
  if (ending.why == Ending::Why::Disconnect) return kShutDown;
  if (ending.why == Ending::Why::PeerClosed && ending.code == 0) return kPeerDisconnect;
  return ending.code;
}

void SessionCore::End(const Ending& ending, Actions& out) {
  using Why = Ending::Why;
  // The close line follows the peer's last bytes, which may still wait to be drawn.
  const bool queued = ending.why == Why::PeerClosed;
  if (line_.inFlight) {
    if (ending.why == Why::Shutdown)
      line_ = OutgoingLine{};
    else
      GiveUpLine(LineCause(ending), queued, out);
  }
  WriteEndingLines(ending, queued ? ActionKind::Queue : ActionKind::Append, out);
  if (readDeferred_) {
    readDeferred_ = false;
    out.push_back(TimerAction(ActionKind::StopTimer, Timer::ReadResume));
  }
  phase_ = Phase::Idle;
  out.push_back(MakeAction(ActionKind::Close));
  if (ending.why == Why::Shutdown) return;
  out.push_back(MakeAction(ActionKind::ShowView));
  out.push_back(MakeAction(ActionKind::ShowCounters));
  if (queued) Pace(pacer_.OnQueued(now_, false), out);
}
