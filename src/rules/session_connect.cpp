// The session core: an attempt, from the connect command to an open session or a failure.
#include "rules/session_core.h"

#include "rules/session_actions.h"
#include "rules/session_texts.h"
#include "rules/texts.h"

void SessionCore::OnConnect(const Event& event, Actions& out) {
  if (!idle()) return;
  phase_ = Phase::Opening;
  tcp_ = event.tcp;  // a switch of protocol from now on is for the next attempt
  pacer_.SetLossy(!tcp_);
  host_ = event.text;
  port_ = event.port;
  out.push_back(MakeAction(ActionKind::ShowView));
  out.push_back(
      MakeAction(ActionKind::Append, FormatLine(kConnectingFormat, host_.c_str(), port_)));
  // Its result comes only when refused, and then changes nothing: there are no dots.
  out.push_back(TimerAction(ActionKind::ArmTimer, Timer::Connect, kConnectTickMs));
  Action open(ActionKind::Open);
  open.tcp = tcp_;
  out.push_back(open);
}

void SessionCore::OnOpened(const Event& event, Actions& out) {
  if (phase_ != Phase::Opening) return;
  if (!event.ok) return End({Ending::Why::Failed, event.error, event.stage}, out);
  out.push_back(MakeAction(ActionKind::Locate, host_));
}

void SessionCore::OnLocated(const Event& event, Actions& out) {
  if (phase_ != Phase::Opening) return;
  if (!event.ok) return End({Ending::Why::Failed, 0, OpenStage::Lookup}, out);
  if (event.more) {
    // Dots are for a pending connect: a lookup adds none.
    phase_ = Phase::Resolving;
    out.push_back(MakeAction(ActionKind::ShowStatus, kStatusResolving));
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
      out.push_back(MakeAction(ActionKind::ShowView));
      out.push_back(MakeAction(ActionKind::Append, kUdpReadyLine));
      out.push_back(MakeAction(ActionKind::RememberTarget));
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
  out.push_back(MakeAction(ActionKind::Append, kEstablishedLine));
  out.push_back(MakeAction(ActionKind::ShowView));
  out.push_back(MakeAction(ActionKind::RememberTarget));
}
