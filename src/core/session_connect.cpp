// The session core: an attempt, from the connect command to an open session or a failure.
#include "core/connect_rules.h"
#include "core/session_core.h"
#include "core/session_lines.h"
#include "core/session_texts.h"
#include "text/texts.h"

void SessionCore::On(const ev::Connect& event, Actions& out) {
  // The controls that start an attempt are disabled meanwhile; a command that comes
  // anyway must not open a second socket and lose the first.
  if (!idle()) return;  // and the focus stays
  out.push_back(act::FocusSendLine{});
  counters_.sessionIn = 0;
  counters_.sessionOut = 0;
  ShowCounters(out);
  // A Binary session starts with an empty line: what was typed before is no hex line.
  if (mode_ == TransferMode::Binary) out.push_back(act::ClearSendLine{});
  const int port = PortNumberOf(event.port);
  if (port == 0) return Write(kInvalidPortLine, out);
  // This attempt's view replaces the one a peer's close left due.
  phase_ = Attempt{Phase::Opening};
  target_ = SessionTarget{event.tcp, event.host, event.port, port};
  pacer_.SetLossy(!target_.tcp);
  ShowView(out);
  Write(FormatLine(kConnectingFormat, target_.host.c_str(), port), out);
  // Its result comes only when refused, and then changes nothing: there are no dots.
  out.push_back(act::ArmTimer{Timer::Dots, RowOf(Timer::Dots).period});
  out.push_back(act::MakeSocket{target_.tcp});
}

void SessionCore::On(const ev::SocketMade& event, Actions& out) {
  if (phase() != Phase::Opening) return;
  if (!event.ok) return End({Ending::Why::Failed, event.error, event.failedAt}, out);
  out.push_back(act::FindHost{target_.host});
}

void SessionCore::On(const ev::HostFound& event, Actions& out) {
  if (phase() != Phase::Opening) return;
  switch (event.how) {
    case ev::HostFound::How::Known: Connect(out); break;
    case ev::HostFound::How::LookingUp:
      // Dots are for a pending connect: a lookup adds none.
      phase_ = Attempt{Phase::Resolving};
      out.push_back(act::ShowActivity{kStatusResolving});
      break;
    case ev::HostFound::How::Failed: End({Ending::Why::Failed, 0, OpenStage::Lookup}, out); break;
  }
}

void SessionCore::On(const ev::LookupDone& event, Actions& out) {
  if (phase() != Phase::Resolving) return;  // cancelled, or a late answer
  phase_ = Attempt{Phase::Opening};
  if (event.error != 0) return End({Ending::Why::Failed, 0, OpenStage::Lookup}, out);
  Connect(out);
}

void SessionCore::Connect(Actions& out) { out.push_back(act::ConnectSocket{target_.port}); }

void SessionCore::On(const ev::ConnectCalled& event, Actions& out) {
  if (phase() != Phase::Opening) return;
  switch (DecideConnectOutcome(event.result, event.error, target_.tcp)) {
    case ConnectOutcome::Pending: phase_ = Attempt{Phase::Connecting}; break;  // FD_CONNECT decides
    case ConnectOutcome::Established:  // its FD_CONNECT is ignored
      counters_.sessionIn = 0;
      counters_.sessionOut = 0;
      Establish(out);
      break;
    case ConnectOutcome::UdpReady:
      phase_ = Open{};
      ++counters_.succeeded;
      ShowView(out);
      Write(kUdpReadyLine, out);
      out.push_back(act::RememberTarget{target_.host, target_.portText});
      break;
    case ConnectOutcome::Failed:
      End({Ending::Why::Failed, event.error, OpenStage::Connect}, out);
      break;
  }
}

void SessionCore::On(const ev::ConnectDone& event, Actions& out) {
  if (phase() != Phase::Connecting) return;
  counters_.sessionIn = 0;
  counters_.sessionOut = 0;
  if (event.error == 0) return Establish(out);
  ++counters_.failed;
  End({Ending::Why::ConnectError, event.error}, out);
}

void SessionCore::Establish(Actions& out) {
  phase_ = Open{};
  ++counters_.succeeded;
  Write(kEstablishedLine, out);
  ShowView(out);
  out.push_back(act::RememberTarget{target_.host, target_.portText});
}
