// The send command over real loopback sessions: bytes on the wire, echo, counters.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "session/session_steps.h"
#include "support/peers.h"
#include "transfer/scripted_peers.h"
#include "transfer/transfer_fixture.h"

namespace {

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

// Whether the window answers a message sent from another thread, as another
// program's would be, while this thread handles its messages.
bool AnswersAnotherThread() {
  const HWND window = app.controls.mainWindow;
  std::atomic<int> answered{-1};
  std::thread probe([&] {
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
  });
  PumpUntil([&] { return answered >= 0; }, 30000);
  probe.join();
  return answered == 1;
}

}  // namespace

TEST_CASE("each mode puts its own bytes on the wire and echoes the line") {
  struct Row {
    TransferMode mode;
    const char* entered;  // typed keys in Binary mode
    std::string wire;
    const char* echo;
  };
  const Row rows[] = {
      {TransferMode::Ascii, "abc", "abc\r\n", "\r\n>>> abc\r\n"},
      {TransferMode::Ascii, "a\\tb", "a\\tb\r\n", "\r\n>>> a\\tb\r\n"},
      {TransferMode::Advanced, "a\\tb", "a\tb", "\r\n>>> a\\tb\r\n"},
      {TransferMode::Advanced, "x\\x00y", Bytes("x\0y", 3), "\r\n>>> x\\x00y\r\n"},
      {TransferMode::Binary, "414243", "ABC", "\r\n>>> 41 42 43\r\n"},
      {TransferMode::Binary, "00ff0d", Bytes("\x00\xFF\x0D", 3), "\r\n>>> 00 FF 0D\r\n"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.entered);
    CAPTURE(static_cast<int>(row.mode));
    ScriptedSession session(row.mode);
    ScriptedServer& peer = session.peer;

    for (int round = 1; round <= 2; ++round) {
      const TranscriptMark mark;
      EnterLine(row.entered);
      ClickSend();
      CHECK(mark.Since() == row.echo);
      CHECK(WindowText(app.controls.sendLine).empty());
      CHECK(GetFocus() == app.controls.sendLine);
      CHECK(StatusPart(0) == "Ready");
      const size_t sent = round * row.wire.size();
      CHECK(StatusPart(5) == "Out: " + std::to_string(sent) + " bytes");
      CHECK(app.session.counters().sessionOut == static_cast<int64_t>(sent));
      CHECK(app.session.counters().totalOut == static_cast<int64_t>(sent));
      CHECK(PumpUntil([&] { return peer.Received().size() >= sent; }));
      CHECK(peer.Received() == (round == 1 ? row.wire : row.wire + row.wire));
    }
    CHECK(app.session.connected());
    CHECK(EnabledStates() == kConnectedStates);
  }
}

TEST_CASE("an empty line or an invalid escape sends nothing and keeps the session") {
  ScriptedSession session(TransferMode::Advanced);
  ScriptedServer& peer = session.peer;

  TranscriptMark mark;
  EnterLine("");
  ClickSend();
  CHECK(mark.Since().empty());
  CHECK(StatusPart(0) == "Ready");

  EnterLine("a\\qb");
  ClickSend();
  CHECK(mark.Since() ==
        "\r\nERR: Can't send data because of unknown or invalid escape sequence!\r\n");
  CHECK(WindowText(app.controls.sendLine) == "a\\qb");
  CHECK(StatusPart(0) == "Ready");
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK(app.session.connected());
  CHECK(EnabledStates() == kConnectedStates);

  // Corrected, the line goes, and the peer gets only that.
  EnterLine("a\\tb");
  ClickSend();
  CHECK(PumpUntil([&] { return !peer.Received().empty(); }));
  PumpFor(100);
  CHECK(peer.Received() == "a\tb");
  CHECK(StatusPart(5) == "Out: 3 bytes");
}

TEST_CASE("only a click sends: another notification of the button sends nothing") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  const TranscriptMark mark;
  SetWindowTextA(app.controls.sendLine, "abc");
  SendMessageA(app.controls.mainWindow, WM_COMMAND, MAKEWPARAM(kSendButtonId, BN_DOUBLECLICKED), 0);
  CHECK(mark.Since().empty());
  CHECK(WindowText(app.controls.sendLine) == "abc");
  CHECK(GetFocus() == app.controls.sendLine);
  PumpFor(100);
  CHECK(peer.Received().empty());
}

TEST_CASE("Enter in a Binary session sends only whole bytes") {
  ScriptedSession session(TransferMode::Binary);
  ScriptedServer& peer = session.peer;
  const TranscriptMark mark;
  TypeChars(app.controls.sendLine, "414\r");
  PressKey(app.controls.sendLine, VK_RETURN);
  CHECK(mark.Since().empty());
  CHECK(WindowText(app.controls.sendLine) == "41 4");
  TypeChars(app.controls.sendLine, "2");
  PressKey(app.controls.sendLine, VK_RETURN);
  CHECK(mark.Since() == "\r\n>>> 41 42\r\n");
  CHECK(WindowText(app.controls.sendLine).empty());
  CHECK(IsWindowEnabled(app.controls.sendButton));
  CHECK(PumpUntil([&] { return peer.Received() == "AB"; }));
}

TEST_CASE("a Binary line that the entry rules never shaped is sent only when well-formed") {
  ScriptedSession session(TransferMode::Binary);
  ScriptedServer& peer = session.peer;
  // Text set past the rules, as another program or the line's own edit menu can. The
  // send button follows the count of letters and digits, as the entry rules count them.
  constexpr char kHalfByteStates[] = "00010111";
  const struct {
    const char* line;
    bool wholeBytes;
  } rows[] = {{"hello", false}, {"4142", true}, {"41x42", false}, {"4", false}, {"41 4", false}};
  for (const auto& row : rows) {
    const char* line = row.line;
    CAPTURE(line);
    const TranscriptMark mark;
    SetWindowTextA(app.controls.sendLine, line);
    ClickSend();
    CHECK(mark.Since() == "\r\nERR: Can't send data because of invalid hex digits!\r\n");
    CHECK(WindowText(app.controls.sendLine) == std::string(line));
    CHECK(app.session.connected());
    CHECK(EnabledStates() == (row.wholeBytes ? kConnectedStates : kHalfByteStates));
    CHECK(StatusPart(0) == "Ready");
    CHECK(StatusPart(5) == "Out: 0 bytes");
  }
  CHECK(peer.Received().empty());
}

TEST_CASE("a UDP send shows a reply that is already there right after its echo") {
  struct Row {
    TransferMode mode;
    const char* first;   // sent while the peer answers nothing
    const char* reply;   // sent past the send command, to be echoed
    const char* second;  // sent once that echo waits unread
    const char* afterFirst;
    const char* afterSecond;
    const char* lastEcho;  // what the echo of the second line shows
  };
  // The read right after a send finds nothing the first time: in Binary mode its
  // empty dump still ends a line. The second time the echo of the reply waits there.
  const Row rows[] = {
      {TransferMode::Ascii, "one", "pong", "two", "\r\n>>> one\r\n", "\r\n>>> two\r\npong",
       "two\r\n"},
      {TransferMode::Binary, "01", "\xAB", "02", "\r\n>>> 01\r\n\r\n", "\r\n>>> 02\r\nAB \r\n",
       "02 \r\n"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.first);
    UdpEchoServer peer(true);
    REQUIRE(peer.ok());
    FreshWindow w;
    SetTransferMode(row.mode);
    REQUIRE(OpenSession(peer.port(), false));

    const TranscriptMark mark;
    EnterLine(row.first);
    ClickSend();
    CHECK(mark.Since() == row.afterFirst);
    REQUIRE(PumpUntil([&] { return !peer.Received().empty(); }));
    peer.Release();
    const int replySize = static_cast<int>(std::strlen(row.reply));
    REQUIRE(send(app.network.sessionSocket, row.reply, replySize, 0) == replySize);
    REQUIRE(WaitUnread(static_cast<unsigned long>(replySize)));

    EnterLine(row.second);
    ClickSend();
    const std::string shown = std::string(row.afterFirst) + row.afterSecond;
    CHECK(mark.Since().substr(0, shown.size()) == shown);
    // The peer's echo of the second line follows, in that same read or in a later
    // one; a read event whose datagram an earlier read took shows nothing.
    const int64_t echoSize = row.mode == TransferMode::Binary ? 1 : 5;  // "02", "two\r\n"
    REQUIRE(PumpUntil([&] { return app.session.counters().sessionIn == replySize + echoSize; }));
    CHECK(PumpUntilNoSocketEvents());  // stale read events too
    CHECK(PumpUntilShown());
    CHECK(mark.Since() == shown + row.lastEcho);
    CHECK(StatusPart(4) == "In: " + std::to_string(replySize + echoSize) + " bytes");
    CHECK(app.session.connected());
  }
}

TEST_CASE("a peer that resets the connection makes the next send fail and end the session") {
  ResettingServer peer(std::string(), true);
  REQUIRE(peer.ok());
  FreshWindow w;
  REQUIRE(OpenSession(peer.port()));
  // The reset arrives while no message is handled, so the send meets it first.
  peer.Release();
  for (int waited = 0; waited < 5000 && !peer.Done(); waited += 10) Sleep(10);
  REQUIRE(peer.Done());
  fd_set reset;
  FD_ZERO(&reset);
  FD_SET(app.network.sessionSocket, &reset);
  timeval bound = {5, 0};
  REQUIRE(select(0, &reset, nullptr, nullptr, &bound) == 1);  // the reset has come in

  const TranscriptMark mark;
  EnterLine("abc");
  ClickSend();
  const std::string line = mark.Since();
  CHECK(line.rfind("\r\nERR: Send Error #", 0) == 0);
  CHECK(std::atoi(line.c_str() + 19) > 0);
  CHECK(line.find("\r\n", 2) == std::string::npos);  // no line break after the number
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(WindowText(app.controls.sendLine) == "abc");
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK(app.session.counters().totalOut == 0);
  CHECK(PumpUntilNoSocketEvents());  // the close event is stale now
  CHECK(mark.Since() == line);
}

TEST_CASE("a peer that takes no data for a while delays a send, which then goes whole") {
  ScriptedSession session(TransferMode::Ascii, true, 4096);
  ScriptedServer& peer = session.peer;
  const size_t filled = FillPipe();
  REQUIRE(filled > 0);

  const std::string first(kSendLineLimit, 'a');
  const TranscriptMark mark;
  EnterLine(first);
  ClickSend();  // the line waits for room; the window goes on meanwhile
  REQUIRE(app.session.lineInFlight());
  // The next line waits in the send line until this one has gone.
  EnterLine("next");
  ClickSend();
  CHECK(mark.Since().empty());
  CHECK(StatusPart(5) == "Out: 0 bytes");

  peer.ReadAfter(300);
  REQUIRE(PumpUntil([] { return !app.session.lineInFlight(); }, 10000));
  CHECK(mark.Since() == "\r\n>>> " + first + "\r\n");
  CHECK(app.session.connected());
  CHECK(WindowText(app.controls.sendLine) == "next");
  ClickSend();
  REQUIRE(PumpUntil([] { return !app.session.lineInFlight(); }, 10000));
  CHECK(mark.Since() == "\r\n>>> " + first + "\r\n\r\n>>> next\r\n");

  // The Out counter is what the peer got.
  const std::string wire = first + "\r\nnext\r\n";
  CHECK(PumpUntil([&] { return peer.Received().size() >= filled + wire.size(); }, 10000));
  CHECK(peer.Received().size() == filled + wire.size());
  CHECK(peer.Received().substr(filled) == wire);
  CHECK(StatusPart(5) == "Out: " + std::to_string(wire.size()) + " bytes");
  CHECK(app.session.counters().sessionOut == static_cast<int64_t>(wire.size()));
}

TEST_CASE("a peer that takes no data at all gets none of the line, and the session stays") {
  ScriptedSession session(TransferMode::Binary, true, 4096);
  REQUIRE(FillPipe() > 0);

  const TranscriptMark mark;
  EnterLine("4142");
  ClickSend();
  CHECK(app.session.lineInFlight());
  CHECK(mark.Since().empty());
  CHECK(StatusPart(0) == "Sending ...");
  CHECK(WindowText(app.controls.sendLine).empty());
  std::string lineAfter = "41 42";  // an empty send line gets the line back

  SUBCASE("the send line is left empty") {}
  SUBCASE("a next line waits in the send line: neither send nor Enter starts it") {
    EnterLine("4344");
    ClickSend();
    PressKey(app.controls.sendLine, VK_RETURN);
    CHECK(mark.Since().empty());
    CHECK(WindowText(app.controls.sendLine) == "43 44");
    CHECK(app.session.lineInFlight());
    lineAfter = "43 44";
  }
  CHECK(AnswersAnotherThread());

  // No room comes: after a few seconds the line is given up.
  REQUIRE(PumpUntil([] { return !app.session.lineInFlight(); }, 10000));
  CHECK(mark.Since() == "\r\nERR: Send Error #10035");
  CHECK(app.session.connected());
  CHECK(EnabledStates() == kConnectedStates);
  CHECK(StatusPart(0) == "Ready");
  CHECK(WindowText(app.controls.sendLine) == lineAfter);
  CHECK(StatusPart(5) == "Out: 0 bytes");
  CHECK(app.session.counters().totalOut == 0);
}
