// Every event shown and applied in the order it happened: what the network delivered
// before a user action comes before it, and nothing is lost when a session ends.
#include "commands/reports.h"
#include "session/session_runner.h"
#include "session/session_steps.h"
#include "support/peers.h"
#include "transfer/scripted_peers.h"
#include "transfer/transfer_fixture.h"
#include "view/output_pane.h"

namespace {

const std::string kClosed = "\r\n=== Connection closed by remote host ( 127.0.0.1 )\r\n";

void PressF1() { SendMessageA(app.controls.mainWindow, WM_KEYUP, VK_F1, 0); }
void ClickClear() {
  SendMessageA(app.controls.mainWindow, WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.controls.clearButton));
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A UDP attempt to the peer by the name "localhost": the lookup's answer is a message
// still to come when this returns.
void StartUdpAttemptByName(const UdpEchoServer& peer) {
  app.choices.useTcp = 0;
  SetTarget("localhost", peer.PortText());
  Connect();
  REQUIRE(app.session.connecting());
}

std::string Lines(size_t size) {
  std::string text;
  for (unsigned n = 0; text.size() < size; ++n) text += "line " + std::to_string(n) + "\r\n";
  return text;
}

}  // namespace

TEST_CASE("a line still waiting for room when the session ends says so and comes back") {
  enum class Ending { PeerCloses, UserDisconnects, ReceiveError };
  struct Row {
    Ending ending;
    std::string after;  // what the transcript says once the line was sent
  };
  const Row rows[] = {
      {Ending::PeerCloses, "\r\nERR: Send Error #10101" + kClosed},
      {Ending::UserDisconnects, "\r\nERR: Send Error #10058\r\n=== Disconnected\r\n"},
      {Ending::ReceiveError, "\r\nERR: Send Error #10053\r\nERR: Receive Error code: #10053"},
  };
  for (const Row& row : rows) {
    CAPTURE(static_cast<int>(row.ending));
    ScriptedSession session(TransferMode::Ascii, true, 4096);
    REQUIRE(FillPipe() > 0);
    const TranscriptMark mark;
    EnterLine("hello");
    ClickSend();
    REQUIRE(app.session.lineInFlight());
    CHECK(WindowText(app.controls.sendLine).empty());

    switch (row.ending) {
      case Ending::PeerCloses:
        session.peer.ShutdownSending();
        REQUIRE(PumpUntil([] { return !app.session.connected(); }));
        break;
      case Ending::UserDisconnects: Disconnect(); break;
      case Ending::ReceiveError:
        SendMessageA(app.controls.mainWindow, kSocketNotify, app.network.sessionSocket,
                     WSAMAKESELECTREPLY(FD_READ, WSAECONNABORTED));
        break;
    }
    REQUIRE(PumpUntilShown());
    CHECK(mark.Since() == row.after);
    CHECK(WindowText(app.controls.sendLine) == "hello");
    CHECK(StatusPart(5) == "Out: 0 bytes");
    CheckIdleView();
  }
}

TEST_CASE("a peer's close is applied before what the user does next") {
  const std::string burst = Lines(512 << 10);
  const std::string last = burst.substr(burst.size() - 40) + kClosed;
  enum class UserDoes { Disconnect, Send, Help, Clear };
  struct Row {
    UserDoes action;
    std::string end;  // what the transcript ends with; empty: the banner alone
  };
  const Row rows[] = {
      {UserDoes::Disconnect, last},
      {UserDoes::Send, last},
      {UserDoes::Help, last + kHelpText},
      {UserDoes::Clear, ""},
  };
  for (const Row& row : rows) {
    CAPTURE(static_cast<int>(row.action));
    LineThenCloseServer peer(burst, true);
    REQUIRE(peer.ok());
    FreshWindow w;
    REQUIRE(OpenSession(peer.port()));
    ReportCloseWithBurstUnread(peer, burst.size());
    switch (row.action) {  // at once: nothing comes in between
      case UserDoes::Disconnect: Disconnect(); break;
      case UserDoes::Send:
        EnterLine("next");
        ClickSend();  // the session has ended: the send line is the command line again
        break;
      case UserDoes::Help: PressF1(); break;
      case UserDoes::Clear: ClickClear(); break;
    }
    REQUIRE(PumpUntilShown(20000));
    const std::string shown = Transcript();
    if (row.end.empty()) {
      CHECK(shown == BannerText());
    } else {
      CHECK(EndsWith(shown, row.end));
    }
    CHECK(shown.find("=== Disconnected") == std::string::npos);
    CHECK(shown.find(">>> ") == std::string::npos);
    CHECK(app.session.counters().sessionIn == static_cast<int64_t>(burst.size()));
    CheckIdleView();
  }
}

TEST_CASE("a read put off behind the user's input comes before help and a clear") {
  ScriptedSession session;
  const size_t start = TranscriptTail().size();
  REQUIRE(ReadEventPutOff("late\r\n", session.peer));
  SUBCASE("help") {
    PressF1();
    CHECK(TranscriptTail().substr(start) == std::string("late\r\n") + kHelpText);
  }
  SUBCASE("a clear") {
    ClickClear();
    CHECK(PumpUntil([] { return app.session.counters().sessionIn == 6 && TranscriptUpToDate(); }));
    CHECK(Transcript() == BannerText());  // it came before the clear, which wiped it
  }
}

TEST_CASE("an attempt keeps its protocol when the user switches during its lookup") {
  UdpEchoServer udp;
  REQUIRE(udp.ok());
  FreshWindow w;
  StartUdpAttemptByName(udp);
  SetWindowTextA(app.controls.sendLine, ":tcp");
  PressKey(app.controls.sendLine, VK_RETURN);
  CHECK(app.choices.useTcp == 1);
  REQUIRE(PumpUntil([] { return app.session.connected(); }));
  CHECK(WithoutDots(TranscriptTail()) == ConnectingLine("localhost", udp.port()) +
                                             "\r\n--- Using TCP/IP now!\r\n\r\n=== UDP ready.");
  // Over UDP a reply shows after a send.
  EnterLine("ping");
  ClickSend();
  REQUIRE(PumpUntil([] { return app.session.counters().sessionIn == 6 && TranscriptUpToDate(); }));
  CHECK(EndsWith(TranscriptTail(), "\r\n>>> ping\r\nping\r\n"));
}

TEST_CASE("a slow lookup adds no dots: they are for a pending connect") {
  UdpEchoServer udp;
  REQUIRE(udp.ok());
  FreshWindow w;
  StartUdpAttemptByName(udp);
  // The lookup's answer is held back for three ticks of the connect timer, as a slow
  // name server would hold it.
  int ticks = 0;
  const DWORD start = GetTickCount();
  while (ticks < 3 && GetTickCount() - start < 5000) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, kLookupDone - 1, PM_REMOVE) &&
        !PeekMessageA(&message, nullptr, kLookupDone + 1, 0xFFFFFFFF, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    if (message.message == WM_TIMER && message.wParam == kConnectTimerId) ++ticks;
    DispatchMessageA(&message);
  }
  REQUIRE(ticks == 3);
  REQUIRE(PumpUntil([] { return app.session.connected(); }));
  CHECK(TranscriptTail() == ConnectingLine("localhost", udp.port()) + "\r\n=== UDP ready.");
}

TEST_CASE("timers of a session that has ended never act on the next attempt") {
  ScriptedServer first;
  QueueFullServer busy;
  REQUIRE(first.ok());
  REQUIRE(busy.ok());
  FreshWindow w;
  REQUIRE(OpenSession(first.port()));
  ReadButNotShown("early\r\n", first);  // its frame is due
  Disconnect();
  SetTarget("127.0.0.1", busy.PortText());
  Connect();
  REQUIRE(app.session.connecting());
  // Until the attempt's first dot, long after the frame of the ended session was due.
  REQUIRE(PumpUntil([] { return EndsWith(TranscriptTail(), "."); }, 3000));
  CHECK(StatusPart(0) == "Connecting ...");
  CHECK(WindowText(app.controls.mainWindow) == "Telvane  (connecting...)");
}
