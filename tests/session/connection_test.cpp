// The connection lifecycle over real loopback sockets, against peers started here.
#include "session_steps.h"

#include "support/peers.h"
#include "view/status_parts.h"

namespace {

constexpr char kEstablished[] = "\r\n=== Connection successfully established!\r\n";

std::string ClosedLine(const std::string& host) {
  return "\r\n=== Connection closed by remote host ( " + host + " )\r\n";
}

// Opens a TCP session to the peer and waits until it is established.
bool ConnectTo(const LoopbackPeer& peer, const std::string& host = "127.0.0.1") {
  SetTarget(host, peer.PortText());
  Connect();
  return PumpUntil([] { return app.session.connected() != 0; });
}

SOCKET OtherThan(SOCKET socket, SOCKET avoid) { return socket != avoid ? socket : avoid + 4; }

void PostEvent(SOCKET socket, int event, int error) {
  SendMessageA(app.controls.mainWindow, kSocketNotify, socket, WSAMAKESELECTREPLY(event, error));
}

WNDPROC mainWindowProc = nullptr;
std::string transcriptAtDestroy;

// Reads the transcript while WM_DESTROY runs, before the pane goes with the window.
LRESULT CALLBACK TranscriptKeepingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(mainWindowProc, window, message, wParam, lParam);
  if (message == WM_DESTROY) transcriptAtDestroy = Transcript();
  return result;
}

}  // namespace

TEST_CASE("a port outside 1..65535 is refused and the window stays idle") {
  FreshWindow w;
  SetWindowTextA(app.controls.hostField, "127.0.0.1");
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Binary}) {
    for (const char* port : {"", "0", "65536", "99999"}) {
      CAPTURE(port);
      SetTransferMode(mode);
      SetWindowTextA(app.controls.sendLine, "41 42");
      app.session.counters().sessionIn = 12;
      app.session.counters().sessionOut = 34;
      ShowByteCounts(12, 34);
      SetWindowTextA(app.controls.portField, port);
      const std::string before = TranscriptTail();

      Connect();
      CHECK(TranscriptTail() == before + "\r\nERR: Invalid Port number!\r\n");
      CHECK_FALSE(app.session.connecting());
      CHECK_FALSE(app.session.connected());
      CHECK(app.network.sessionSocket == 0);
      CHECK(app.session.counters().sessionIn == 0);
      CHECK(app.session.counters().sessionOut == 0);
      CHECK(StatusPart(4) == "In: 0 bytes");
      CHECK(StatusPart(5) == "Out: 0 bytes");
      CHECK(WindowText(w.hwnd()) == "Telvane - Kestrelink");
      CHECK(EnabledStates() == kIdleStates);
      CHECK(GetFocus() == app.controls.sendLine);
      CHECK(WindowText(app.controls.sendLine) == (mode == TransferMode::Binary ? "" : "41 42"));
    }
  }
  // No attempt began, so no timer prints dots.
  CHECK_FALSE(KillTimer(w.hwnd(), kConnectTimerId));
  CHECK(app.session.counters().failed + app.session.counters().succeeded == 0);
}

TEST_CASE("ports 1 and 65535 are tried, and a leading zero is read as a number") {
  FreshWindow w;
  for (const char* port : {"1", "65535"}) {
    CAPTURE(port);
    SetTarget("127.0.0.1", port);
    const std::string before = TranscriptTail();
    Connect();
    CHECK(
        TranscriptTail().substr(before.size()).rfind(ConnectingLine("127.0.0.1", atoi(port)), 0) ==
        0);
    CHECK(AttemptEnded());
    Disconnect();  // in case something did answer there
  }

  TcpEchoServer echo;
  REQUIRE(echo.ok());
  const std::string typed = "0" + echo.PortText();
  SetTarget("127.0.0.1", typed);
  const std::string before = TranscriptTail();
  Connect();
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  CHECK(WithoutDots(TranscriptTail().substr(before.size())) ==
        ConnectingLine("127.0.0.1", echo.port()) + kEstablished);
  CHECK(WindowText(w.hwnd()) == "Telvane - 127.0.0.1:" + typed);
  CHECK(std::string(app.choices.lastPort) == typed);
}

TEST_CASE("a TCP session opens, shows its target and remembers it") {
  TcpEchoServer echo;
  REQUIRE(echo.ok());
  FreshWindow w;
  SetFocus(app.controls.hostField);
  SetTarget("127.0.0.1", echo.PortText());
  const std::string connecting = ConnectingLine("127.0.0.1", echo.port());

  Connect();
  CHECK(GetFocus() == app.controls.sendLine);
  if (app.session.connecting()) {  // a loopback connect may also complete at once
    CHECK(TranscriptTail() == connecting);
    CHECK(WindowText(w.hwnd()) == "Telvane  (connecting...)");
    CHECK(StatusPart(0) == "Connecting ...");  // a dotted address needs no lookup
    CHECK(StatusPart(1) == "Not connected");
    CHECK(EnabledStates() == kConnectingStates);
  }
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  CHECK_FALSE(app.session.connecting());
  CHECK(WithoutDots(TranscriptTail()) == connecting + kEstablished);
  CHECK(WindowText(w.hwnd()) == "Telvane - 127.0.0.1:" + echo.PortText());
  CHECK(StatusPart(1) == "Connected");
  CHECK(StatusPart(0) == "Ready");
  CHECK(StatusPart(4) == "In: 0 bytes");
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK(EnabledStates() == kConnectedStates);
  CHECK(app.session.counters().succeeded == 1);
  CHECK(app.session.counters().failed == 0);
  CHECK(std::string(app.choices.lastHost) == "127.0.0.1");
  CHECK(std::string(app.choices.lastPort) == echo.PortText());
  CHECK(PumpUntil([&] { return echo.Accepted() == 1; }));

  // The timer stops at its first tick after the attempt: no dot follows.
  const std::string settled = TranscriptTail();
  CHECK(PumpUntilTick(kConnectTimerId));
  CHECK(TranscriptTail() == settled);
  CHECK_FALSE(KillTimer(w.hwnd(), kConnectTimerId));

  // While connected the connect command, and the own socket's FD_CONNECT, change nothing.
  Connect();
  PostEvent(app.network.sessionSocket, FD_CONNECT, WSAECONNREFUSED);
  CHECK(TranscriptTail() == settled);
  CHECK(app.session.connected());
  CHECK(app.session.counters().failed == 0);
}

TEST_CASE("a session to a well-known port names its service") {
  // Port 7 needs privileges; the table's high ports do not.
  struct Service {
    int port;
    const char* name;
  };
  for (const Service service : {Service{7, "Echo"}, Service{1080, "Socks"}, Service{6667, "IRC"}}) {
    TcpEchoServer echo(service.port);
    if (!echo.ok()) continue;
    CAPTURE(service.port);
    FreshWindow w;
    REQUIRE(ConnectTo(echo));
    CHECK(WindowText(w.hwnd()) ==
          "Telvane - 127.0.0.1:" + echo.PortText() + " (" + service.name + ")");
    CHECK(StatusPart(1) == std::string("Connected (") + service.name + ")");
    return;
  }
  FAIL("none of ports 7, 1080 and 6667 can be bound on loopback");
}

TEST_CASE("dots count the time a connect is pending") {
  QueueFullServer busy;
  REQUIRE(busy.ok());
  FreshWindow w;
  SetTarget("127.0.0.1", busy.PortText());
  const std::string connecting = ConnectingLine("127.0.0.1", busy.port());
  Connect();
  REQUIRE(app.session.connecting());
  auto dots = [] {
    int count = 0;
    WithoutDots(TranscriptTail(), &count);
    return count;
  };
  REQUIRE(PumpUntil([&] { return dots() >= 2; }, 3000));
  CHECK(app.session.connecting());
  CHECK(WithoutDots(TranscriptTail()) == connecting);
  CHECK(WindowText(w.hwnd()) == "Telvane  (connecting...)");
  CHECK(EnabledStates() == kConnectingStates);

  // Neither a close event nor a second connect command touches a pending attempt.
  const std::string pending = TranscriptTail();
  PostEvent(app.network.sessionSocket, FD_CLOSE, 0);
  Connect();
  CHECK(TranscriptTail() == pending);
  CHECK(app.session.connecting());

  busy.Release();
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }, 10000));
  CHECK(dots() >= 2);
  CHECK(WithoutDots(TranscriptTail()) == connecting + kEstablished);
  CHECK(StatusPart(0) == "Ready");
}

TEST_CASE("a refused connect counts as failed and leaves the target alone") {
  ClosedPort closed;
  REQUIRE(closed.port() != 0);
  FreshWindow w;
  lstrcpyA(app.choices.lastHost, "earlier.invalid");
  lstrcpyA(app.choices.lastPort, "23");
  SetTarget("127.0.0.1", closed.PortText());
  const std::string refused =
      ConnectingLine("127.0.0.1", closed.port()) + "\r\n=== Connection refused\r\n";

  Connect();
  REQUIRE(AttemptEnded());
  CHECK(WithoutDots(TranscriptTail()) == refused);
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(app.session.counters().failed == 1);
  CHECK(app.session.counters().succeeded == 0);
  CHECK(std::string(app.choices.lastHost) == "earlier.invalid");
  CHECK(std::string(app.choices.lastPort) == "23");

  // The fields keep the target for another try.
  const std::string before = TranscriptTail();
  Connect();
  REQUIRE(AttemptEnded());
  CHECK(WithoutDots(TranscriptTail().substr(before.size())) == refused);
  CHECK(app.session.counters().failed == 2);
}

TEST_CASE("a host name is looked up; one that cannot be resolved fails the attempt") {
  TcpEchoServer echo;
  REQUIRE(echo.ok());
  FreshWindow w;
  SetTarget("nowhere.invalid", "7");
  Connect();
  REQUIRE(AttemptEnded());
  CHECK(WithoutDots(TranscriptTail()) ==
        ConnectingLine("nowhere.invalid", 7) +
            "\r\nERR: Error resolving hostname!\r\n=== Connection failed!\r\n");
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(app.session.counters().failed + app.session.counters().succeeded == 0);

  SetTarget("localhost", echo.PortText());
  const std::string before = TranscriptTail();
  Connect();
  if (app.session.connecting()) CHECK(StatusPart(0) == "Resolving hostname ...");
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  CHECK(WithoutDots(TranscriptTail().substr(before.size())) ==
        ConnectingLine("localhost", echo.port()) + kEstablished);
  CHECK(WindowText(w.hwnd()) == "Telvane - localhost:" + echo.PortText());
  CHECK(std::string(app.choices.lastHost) == "localhost");
}

TEST_CASE("a UDP session is ready at once and is fixed to its peer") {
  UdpEchoServer udp;
  REQUIRE(udp.ok());
  FreshWindow w;
  app.choices.useTcp = 0;
  SetTarget("127.0.0.1", udp.PortText());
  Connect();
  CHECK(app.session.connected());
  CHECK_FALSE(app.session.connecting());
  CHECK(TranscriptTail() == ConnectingLine("127.0.0.1", udp.port()) + "\r\n=== UDP ready.");
  CHECK(WindowText(w.hwnd()) == "Telvane - 127.0.0.1:" + udp.PortText());
  CHECK(StatusPart(1) == "Connected");
  CHECK(StatusPart(0) == "Ready");
  CHECK(EnabledStates() == kConnectedStates);
  CHECK(app.session.counters().succeeded == 1);
  CHECK(std::string(app.choices.lastPort) == udp.PortText());

  const std::string settled = TranscriptTail();
  CHECK(PumpUntilTick(kConnectTimerId));
  CHECK(TranscriptTail() == settled);  // no dots: the first tick only stops the timer
  CHECK_FALSE(KillTimer(w.hwnd(), kConnectTimerId));

  CHECK(send(app.network.sessionSocket, "ping", 4, 0) == 4);
  CHECK(PumpUntil([&] { return udp.Received() == "ping"; }));
  CHECK(PumpUntil([] { return app.session.counters().sessionIn == 4; }));  // and its echo came back

  Disconnect();
  CHECK(TranscriptTail() == settled + "ping\r\n=== Disconnected\r\n");
  CheckIdleView();
}

TEST_CASE("disconnect ends the session; only a click while connected does") {
  TcpEchoServer echo;
  REQUIRE(echo.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(echo));

  SetFocus(app.controls.outputPane);
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kDisconnectButtonId, BN_DOUBLECLICKED), 0);
  CHECK(GetFocus() == app.controls.sendLine);
  CHECK(app.session.connected());

  app.session.counters().sessionIn = 3;
  ShowByteCounts(3, app.session.counters().sessionOut);
  const std::string before = TranscriptTail();
  Disconnect();
  CHECK(TranscriptTail() == before + "\r\n=== Disconnected\r\n");
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(StatusPart(4) == "In: 3 bytes");  // kept until the next attempt
  CHECK(app.session.counters().succeeded == 1);
  CHECK(app.session.counters().failed == 0);
  CHECK(PumpUntil([&] { return echo.ClientClosed(); }));
  CHECK(echo.Received().empty());

  // While idle, disconnect only moves the focus, and a connect with another
  // notification code is ignored.
  SetFocus(app.controls.hostField);
  Disconnect();
  CHECK(GetFocus() == app.controls.sendLine);
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kConnectButtonId, BN_DOUBLECLICKED), 0);
  CHECK(TranscriptTail() == before + "\r\n=== Disconnected\r\n");
  CHECK_FALSE(app.session.connecting());
}

TEST_CASE("bytes still unread when the peer's close is reported are shown before it") {
  // Windows may report the close of a peer that answers and closes at once
  // (daytime, an HTTP/1.0 reply) while the answer is still unread. Wine holds the
  // close back until the bytes are read, so the report is made here by hand.
  const std::string answer = "Thu Jan  1 00:00:00 1970\r\n";
  LineThenCloseServer daytime(answer, true);
  REQUIRE(daytime.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(daytime));
  daytime.Release();
  u_long pending = 0;
  for (int waited = 0; waited < 5000 && pending < answer.size(); waited += 10) {
    Sleep(10);
    ioctlsocket(app.network.sessionSocket, FIONREAD, &pending);
  }
  REQUIRE(pending == answer.size());

  PostEvent(app.network.sessionSocket, FD_CLOSE, 0);
  REQUIRE(PumpUntil([] { return !app.session.connected(); }));
  REQUIRE(PumpUntilShown());  // the close line may wait for the next frame
  CHECK(WithoutDots(TranscriptTail()) == ConnectingLine("127.0.0.1", daytime.port()) +
                                             kEstablished + answer + ClosedLine("127.0.0.1"));
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(app.session.counters().sessionIn == static_cast<int64_t>(answer.size()));
  CHECK(app.session.counters().totalIn == static_cast<int64_t>(answer.size()));
  CHECK(StatusPart(4) == "In: " + std::to_string(answer.size()) + " bytes");
}

TEST_CASE("a reset by the peer reads like a close, naming the host as typed") {
  ResettingServer reset(std::string(), true);
  REQUIRE(reset.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(reset, "localhost"));
  const std::string before = TranscriptTail();
  reset.Release();
  REQUIRE(PumpUntil([] { return !app.session.connected(); }));
  REQUIRE(PumpUntilShown());  // the close line may wait for the next frame
  CHECK(TranscriptTail() == before + ClosedLine("localhost"));
  CheckIdleView();
  CHECK(app.session.counters().failed == 0);
}

TEST_CASE("closing the window while connected ends the session without a line") {
  TcpEchoServer echo;
  REQUIRE(echo.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(echo));
  const std::string transcript = Transcript();
  transcriptAtDestroy.clear();
  mainWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(w.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TranscriptKeepingProc)));

  w.Close();
  CHECK(QuitSeen());
  CHECK(transcriptAtDestroy == transcript);
  CHECK_FALSE(app.session.connected());
  CHECK(app.network.sessionSocket == 0);
  CHECK(std::string(app.choices.lastHost) == "127.0.0.1");
  CHECK(std::string(app.choices.lastPort) == echo.PortText());
  const std::string ini = ReadFile(w.iniPath());
  CHECK(ini.find("host=127.0.0.1\r\n") != std::string::npos);
  CHECK(ini.find("port=" + echo.PortText() + "\r\n") != std::string::npos);
  CHECK(PumpUntil([&] { return echo.ClientClosed(); }));
  CHECK(echo.Received().empty());
}

TEST_CASE("events of a session that has ended are ignored") {
  TcpEchoServer first, second;
  REQUIRE(first.ok());
  REQUIRE(second.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(first));
  const SOCKET old = app.network.sessionSocket;
  Disconnect();

  const std::string idle = TranscriptTail();
  PostEvent(old, FD_CONNECT, 0);
  PostEvent(old, FD_CLOSE, 0);
  PostEvent(old, FD_READ, 0);
  CHECK(TranscriptTail() == idle);
  CHECK_FALSE(app.session.connected());
  CHECK(app.session.counters().succeeded == 1);

  REQUIRE(ConnectTo(second));
  const std::string open = TranscriptTail();
  const SOCKET stale = OtherThan(old, app.network.sessionSocket);
  PostEvent(stale, FD_CLOSE, 0);
  PostEvent(stale, FD_CONNECT, WSAECONNREFUSED);
  PostEvent(stale, FD_READ, 0);
  CHECK(TranscriptTail() == open);
  CHECK(app.session.connected());
  CHECK(app.session.counters().failed == 0);
}

TEST_CASE("events still queued when a session ends never reach the next one") {
  ResettingServer first(std::string(), true);
  TcpEchoServer second;
  REQUIRE(first.ok());
  REQUIRE(second.ok());
  FreshWindow w;
  REQUIRE(ConnectTo(first));
  const SOCKET old = app.network.sessionSocket;

  // Let the first peer reset the connection while no message is handled, so
  // that its close event waits in the queue when the user disconnects.
  first.Release();
  for (int waited = 0; waited < 5000 && !first.Done(); waited += 10) Sleep(10);
  REQUIRE(first.Done());
  MSG queued = {};
  for (int waited = 0; waited < 2000; waited += 10) {
    if (PeekMessageA(&queued, w.hwnd(), kSocketNotify, kSocketNotify, PM_NOREMOVE)) break;
    Sleep(10);
  }
  CHECK(queued.wParam == old);
  CHECK(WSAGETSELECTEVENT(queued.lParam) == FD_CLOSE);

  Disconnect();
  CHECK_FALSE(PeekMessageA(&queued, w.hwnd(), kSocketNotify, kSocketNotify, PM_NOREMOVE));
  const std::string before = TranscriptTail();
  SetTarget("127.0.0.1", second.PortText());
  Connect();  // its socket may well get the handle of the first
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  CHECK(PumpUntilNoSocketEvents());
  CHECK(app.session.connected());
  CHECK(WithoutDots(TranscriptTail().substr(before.size())) ==
        ConnectingLine("127.0.0.1", second.port()) + kEstablished);
}

TEST_CASE("a connect event with an error ends the attempt with its own line") {
  struct Row {
    int error;
    const char* line;
  };
  const Row rows[] = {
      {10060, "\r\n=== Connection timed out!\r\n"},
      {10061, "\r\n=== Connection refused\r\n"},
      {10050, "\r\n=== Connection failed! (Error: #10050)\r\n"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.error);
    QueueFullServer busy;  // keeps the real connect pending
    REQUIRE(busy.ok());
    FreshWindow w;
    SetTarget("127.0.0.1", busy.PortText());
    Connect();
    REQUIRE(app.session.connecting());
    PostEvent(app.network.sessionSocket, FD_CONNECT, row.error);
    CHECK(WithoutDots(TranscriptTail()) == ConnectingLine("127.0.0.1", busy.port()) + row.line);
    CheckIdleView();
    CHECK(app.network.sessionSocket == 0);
    CHECK(app.session.counters().failed == 1);
    CHECK(app.session.counters().succeeded == 0);
  }
}

TEST_CASE("without Winsock a connect fails at the socket and the window stays usable") {
  FreshWindow w;
  WSACleanup();  // as if start-up had failed
  SetTarget("127.0.0.1", "7");
  Connect();
  CHECK(TranscriptTail() == ConnectingLine("127.0.0.1", 7) +
                                "\r\nERR: Socket creation failed! Error: #10093"
                                "\r\n=== Connection failed!\r\n");
  CheckIdleView();
  CHECK_FALSE(app.session.connecting());
  CHECK(app.session.counters().failed == 0);
  WSADATA data;
  WSAStartup(0x0002, &data);  // the window's own clean-up at close balances this
}

TEST_CASE("closing the window while a connect is pending ends cleanly") {
  QueueFullServer busy;
  REQUIRE(busy.ok());
  FreshWindow w;
  SetTarget("127.0.0.1", busy.PortText());
  Connect();
  REQUIRE(app.session.connecting());
  const SOCKET attempt = app.network.sessionSocket;
  w.Close();
  CHECK(QuitSeen());
  CHECK_FALSE(app.session.connecting());
  CHECK(app.network.sessionSocket == 0);
  // The attempt's socket is closed, not left to complete once the peer has room.
  int type = 0;
  int size = sizeof type;
  CHECK(getsockopt(attempt, SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &size) ==
        SOCKET_ERROR);
  CHECK(WSAGetLastError() == WSAENOTSOCK);
  busy.Release();
  REQUIRE(PumpUntil([&] { return busy.Accepted() >= 1; }));  // the peer takes clients again
  CHECK_FALSE(app.session.connected());
  CHECK(app.network.sessionSocket == 0);
  CHECK(app.session.counters().succeeded == 0);
}

TEST_CASE("closing the window during a name lookup cancels it; the next window looks up again") {
  ClosedPort closed;  // where the attempt goes should the lookup end before the close
  REQUIRE(closed.port() != 0);
  // Sent, the close comes before the lookup's end can be handled; posted, it waits
  // behind whatever is queued.
  for (bool posted : {false, true}) {
    CAPTURE(posted);
    {
      FreshWindow w;
      const HWND window = w.hwnd();
      SetTarget("localhost", closed.PortText());
      Connect();
      REQUIRE(app.network.lookupRequest != 0);
      if (posted) {
        w.Close();
      } else {
        SendMessageA(window, WM_CLOSE, 0, 0);
        PumpUntil([] { return QuitSeen(); });
      }
      CHECK(QuitSeen());
      CHECK_FALSE(IsWindow(window));
      CHECK(app.network.lookupRequest == 0);
      CHECK_FALSE(app.session.connecting());
      CHECK(app.network.sessionSocket == 0);
      PumpFor(200);  // a late answer finds no window
    }
    TcpEchoServer echo;
    REQUIRE(echo.ok());
    FreshWindow next;
    REQUIRE(ConnectTo(echo, "localhost"));
    CHECK(PumpUntil([&] { return echo.Accepted() == 1; }));
    CHECK(std::string(app.choices.lastHost) == "localhost");
  }
}
