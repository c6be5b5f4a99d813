// The session core: the one place where a session or an attempt ends.
#include "core/session_core.h"
#include "core/session_lines.h"
#include "core/session_texts.h"

void SessionCore::WriteEndingLines(const Ending& ending, bool queued, Actions& out) {
  const auto write = [&](std::string line) {
    if (queued)
      out.push_back(act::QueueLine{std::move(line), mode_});
    else
      Write(std::move(line), out);
  };
  using Why = Ending::Why;
  switch (ending.why) {
    case Why::Failed:
      write(FailureLine(ending.stage, ending.code));
      write(kConnectionFailedLine);
      break;
    case Why::ConnectError: write(ConnectErrorLine(ending.code)); break;
    case Why::Disconnect: write(kDisconnectedLine); break;
    case Why::PeerClosed: write(FormatLine(kClosedByPeerFormat, target_.host.c_str())); break;
    case Why::ReceiveError: write(FormatLine(kReceiveErrorFormat, ending.code)); break;
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
  // The user's disconnect, and an attempt that failed before its socket was set up, say
  // why once the view is idle again; every other ending says why first.
  const bool viewFirst = ending.why == Why::Disconnect ||
                         (ending.why == Why::Failed &&
                          (ending.stage == OpenStage::Socket || ending.stage == OpenStage::Select));
  if (line_.inFlight) {  // what became of the line comes before anything else
    if (ending.why == Why::Shutdown)
      line_ = OutgoingLine{};
    else
      GiveUpLine(LineCause(ending), queued, out);
  }
  if (!viewFirst) WriteEndingLines(ending, queued, out);
  if (readDeferred_) {
    readDeferred_ = false;
    out.push_back(act::StopTimer{Timer::ReadResume});
  }
  target_.phase = Phase::Idle;
  out.push_back(act::CloseSocket{});
  if (ending.why == Why::Shutdown) return;
  if (!queued) {
    ShowView(out);
    ShowCounters(out);
    if (viewFirst) WriteEndingLines(ending, false, out);
    return;
  }
  // The screen tells of the close when the pane shows its line, not a frame before.
  idleViewDue_ = true;
  Pace(pacer_.OnQueued(now_, false), out);
}
