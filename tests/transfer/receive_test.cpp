// The receive path over real loopback sessions: what shows, what is counted, and a
// window that keeps answering while a peer floods it.
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "session/session_runner.h"
#include "session/session_steps.h"
#include "text/binary_mode.h"
#include "transfer/scripted_peers.h"
#include "transfer/transfer_fixture.h"
#include "view/output_pane.h"

namespace {

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

// Probes the window from a second thread, as another program would: each probe
// is a message the window must answer within a bound. The bound only tells a frozen
// window from a busy one; it is generous so that a loaded machine doesn't fail it.
constexpr UINT kProbeAnswerMs = 20000;
class AnswerProbe {
 public:
  explicit AnswerProbe(HWND window)
      : thread_([this, window] {
          while (!stop_) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kProbeAnswerMs, &result))
              ++answered_;
            else
              ++unanswered_;
            Sleep(2);
          }
          ended_ = true;
        }) {}
  ~AnswerProbe() { Finish(); }
  // The last probe may be waiting for this thread's window: answer it while waiting.
  void Finish() {
    stop_ = true;
    PumpUntil([this] { return ended_.load(); }, 2 * kProbeAnswerMs);
    if (thread_.joinable()) thread_.join();
  }
  int answered() const { return answered_; }
  int unanswered() const { return unanswered_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  std::atomic<int> answered_{0};
  std::atomic<int> unanswered_{0};
  std::thread thread_;
};

std::string FloodPayload(size_t size) {
  std::string payload;
  for (unsigned n = 0; payload.size() < size; ++n)
    payload += std::to_string(n) + " the quick brown fox jumps over the lazy dog\tJKLMN\r\n";
  payload.resize(size - 2);
  return payload + "\r\n";
}

// A datagram socket on 127.0.0.1 at a port of the system's choosing.
SOCKET DatagramSocketOnLoopback(int& port) {
  const SOCKET socket = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  REQUIRE(bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
  REQUIRE(getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0);
  port = ntohs(address.sin_port);
  return socket;
}

}  // namespace

TEST_CASE("received bytes show by mode, also when a line break falls between two reads") {
  struct Row {
    TransferMode mode;
    std::vector<std::string> reads;
    std::string shown;
  };
  const Row rows[] = {
      {TransferMode::Ascii, {"abc\r\n"}, "abc\r\n"},
      {TransferMode::Ascii, {"abc\r", "\nxyz"}, "abc\r\r\nxyz"},
      {TransferMode::Ascii, {"a\nb", "c\r\nd\r"}, "a\r\nbc\r\nd\r"},
      {TransferMode::Ascii,
       {"A\x01\x1b"
        "B\x7f"},
       "A\x01\x1b"
       "B\x7f"},
      // The count reaches the writer whole: a zero byte ends nothing (it is left out).
      {TransferMode::Ascii, {Bytes("AB\0CD\r\nEF", 9), "G"}, "ABCD\r\nEFG"},
      {TransferMode::Advanced,
       {"A\tB", Bytes("\0\x1b\r", 3), "\n\x7f"},
       "A\\tB\\x00\\x1B\r\r\n\\x7F"},
      {TransferMode::Advanced, {"\\t\a\b\v\f"}, "\\t\\a\\b\\v\\f"},
      {TransferMode::Binary, {Bytes("\x00\x0A\xFF", 3), "\r", "\n"}, "00 0A FF \r\n0D \r\n0A \r\n"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.shown);
    ScriptedSession session(row.mode);
    ScriptedServer& peer = session.peer;
    const size_t before = TranscriptTail().size();
    int64_t total = 0;
    for (const std::string& read : row.reads) {
      REQUIRE(peer.Push(read));
      total += static_cast<int64_t>(read.size());
      REQUIRE(WaitBytesIn(total));  // one read at a time
    }
    CHECK(TranscriptTail().substr(before) == row.shown);
    CHECK(StatusPart(4) == "In: " + std::to_string(total) + " bytes");
    CHECK(app.session.counters().totalIn == total);
    CHECK(StatusPart(0) == "Ready");
    CHECK(app.session.connected());
  }
}

TEST_CASE("the byte counters go on past 2 GiB and 4 GiB") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  app.session.counters().sessionIn = 0x7FFFFFFF;
  app.session.counters().totalIn = 0xFFFFFFFFLL;
  app.session.counters().sessionOut = 0xFFFFFFFFLL;
  app.session.counters().totalOut = 0x7FFFFFFF;

  REQUIRE(peer.Push("12345"));
  REQUIRE(WaitBytesIn(0x7FFFFFFFLL + 5));
  CHECK(StatusPart(4) == "In: 2147483652 bytes");
  CHECK(app.session.counters().totalIn == 0xFFFFFFFFLL + 5);
  EnterLine("abc");
  ClickSend();
  CHECK(StatusPart(5) == "Out: 4294967300 bytes");
  CHECK(app.session.counters().totalOut == 0x7FFFFFFFLL + 5);
}

TEST_CASE("a read event with an error ends the session with its code") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  const std::string before = TranscriptTail();
  SendMessageA(app.controls.mainWindow, kSocketNotify, app.network.sessionSocket,
               WSAMAKESELECTREPLY(FD_READ, WSAECONNABORTED));
  CHECK(TranscriptTail() == before + "\r\nERR: Receive Error code: #10053");
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
  CHECK(PumpUntil([&] { return peer.ClientClosed(); }));
}

TEST_CASE("a datagram the peer's host refuses ends the session with the receive error") {
  FreshWindow w;
  // A port just given up: nothing takes datagrams there, and the host says so.
  int port = 0;
  closesocket(DatagramSocketOnLoopback(port));
  REQUIRE(OpenSession(port, false));
  const TranscriptMark mark;
  EnterLine("ping");
  ClickSend();
  CHECK(PumpUntil([] { return app.session.idle(); }));
  const std::string refused = "\r\n>>> ping\r\n\r\nERR: Receive Error code: #";
  CHECK(mark.Since().substr(0, refused.size()) == refused);
  CheckIdleView();
  CHECK(app.network.sessionSocket == 0);
}

TEST_CASE("a read event for a socket that has gone behind the session's back reads nothing") {
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary}) {
    CAPTURE(static_cast<int>(mode));
    ScriptedSession session(mode);
    closesocket(app.network.sessionSocket);
    const std::string before = TranscriptTail();
    SendMessageA(app.controls.mainWindow, kSocketNotify, app.network.sessionSocket,
                 WSAMAKESELECTREPLY(FD_READ, 0));
    CHECK(PumpUntilShown());
    CHECK(TranscriptTail() == before + (mode == TransferMode::Binary ? "\r\n" : ""));
    CHECK(StatusPart(4) == "In: 0 bytes");
    CHECK(StatusPart(0) == "Ready");
    CHECK(app.session.counters().totalIn == 0);
    app.network.sessionSocket = 0;  // gone already: not to be closed again
  }
}

TEST_CASE("a 2 MB flood: the window keeps answering and every byte is counted") {
  const std::string payload = FloodPayload(2 << 20);
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary}) {
    CAPTURE(static_cast<int>(mode));
    ScriptedSession session(mode);
    ScriptedServer& peer = session.peer;

    const int64_t floodTotal = static_cast<int64_t>(payload.size());
    AnswerProbe probe(app.controls.mainWindow);
    const int answeredBefore = probe.answered();
    peer.PushInBackground(payload);
    const bool all = WaitBytesIn(floodTotal, 60000);
    const int answeredDuring = probe.answered() - answeredBefore;
    probe.Finish();

    CHECK(all);
    CHECK(app.session.counters().sessionIn == floodTotal);
    CHECK(StatusPart(4) == "In: " + std::to_string(floodTotal) + " bytes");
    CHECK(probe.unanswered() == 0);
    CHECK(answeredDuring > 0);
    // The end of the flood is what the pane shows last.
    const std::string shown = Transcript();
    if (mode == TransferMode::Binary) {
      CHECK(shown.size() >= 8);
      CHECK(shown.substr(shown.size() - 8) == "0D 0A \r\n");
    } else {
      const std::string tail = payload.substr(payload.size() - 40);
      const std::string expected =
          mode == TransferMode::Ascii
              ? tail
              : tail.substr(0, tail.find('\t')) + "\\t" + tail.substr(tail.find('\t') + 1);
      CHECK(shown.size() >= expected.size());
      CHECK(shown.substr(shown.size() - expected.size()) == expected);
    }
    CHECK(app.session.connected());
  }
}

TEST_CASE("data put off behind the user's messages still shows before what the user does next") {
  ScriptedSession session;
  const size_t before = TranscriptTail().size();

  SUBCASE("a disconnect") {
    REQUIRE(ReadEventPutOff("late reply\r\n", session.peer));
    SendMessageA(app.controls.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
    CHECK(TranscriptTail().substr(before) == "late reply\r\n\r\n=== Disconnected\r\n");
    CHECK(app.session.counters().sessionIn == 12);
  }
  SUBCASE("a send") {
    REQUIRE(ReadEventPutOff("late reply\r\n", session.peer));
    EnterLine("next");
    ClickSend();
    CHECK(TranscriptTail().substr(before) == "late reply\r\n\r\n>>> next\r\n");
    CHECK(app.session.counters().sessionIn == 12);
  }
  CHECK_FALSE(app.session.readDeferred());
  CHECK_FALSE(KillTimer(app.controls.mainWindow, kReadResumeTimerId));  // it went with the read
  CHECK(app.session.counters().sessionIn == 12);
}

// The same through a real session: each byte value at the start of a line and after
// a tab, in one burst from the peer. Also run without fonts (tests/font_plain_prefix.sh).
TEST_SUITE("any byte") {
  TEST_CASE("a peer can send any byte value at the start of a line, in every mode") {
    std::string burst;
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      burst += std::string(1, c) + "\n\t" + c + "\r\n";
    }
    ScriptedSession session;
    int64_t sent = 0;
    for (TransferMode mode : {TransferMode::Advanced, TransferMode::Binary, TransferMode::Ascii}) {
      CAPTURE(static_cast<int>(mode));
      SetTransferMode(mode);  // as the mode menu does, in the middle of a session
      REQUIRE(session.peer.Push(burst));
      sent += static_cast<int64_t>(burst.size());
      REQUIRE(WaitBytesIn(sent));
      // The paint that follows the appends lays the bytes out.
      CHECK(PumpUntil([] { return !GetUpdateRect(app.controls.outputPane, nullptr, FALSE); }));
      CHECK(app.session.connected());
    }
    CHECK(Transcript().find("\r\n\x98\r\n\t\x98\r\n") != std::string::npos);
  }
}

TEST_CASE("data read but not yet on the pane goes in before what the user does next") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  const size_t before = TranscriptTail().size();
  const std::string early = ReadButNotShown("early\r\n", peer);
  const std::string inCounter = "In: " + std::to_string(early.size()) + " bytes";

  SUBCASE("a send") {
    EnterLine("next");
    ClickSend();
    CHECK(TranscriptTail().substr(before) == early + "\r\n>>> next\r\n");
    CHECK(StatusPart(5) == "Out: 6 bytes");
    CHECK(PumpUntil([&] { return peer.Received() == "next\r\n"; }));
    CHECK(WaitBytesIn(static_cast<int64_t>(early.size())));  // the counter catches up
    CHECK(StatusPart(4) == inCounter);
  }
  SUBCASE("a disconnect") {
    SendMessageA(app.controls.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
    CHECK(TranscriptTail().substr(before) == early + "\r\n=== Disconnected\r\n");
    CHECK(WaitBytesIn(static_cast<int64_t>(early.size())));
    CHECK(StatusPart(4) == inCounter);
  }
  SUBCASE("a clear discards it, and later data follows the banner") {
    SendMessageA(app.controls.mainWindow, WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(app.controls.clearButton));
    CHECK(Transcript() == BannerText());
    CHECK(PumpUntilShown());
    CHECK(Transcript() == BannerText());  // the frame brings none of it back
    REQUIRE(peer.Push("later\r\n"));
    REQUIRE(WaitBytesIn(static_cast<int64_t>(early.size()) + 7));
    CHECK(Transcript() == std::string(BannerText()) + "later\r\n");
    CHECK(StatusPart(4) == "In: " + std::to_string(early.size() + 7) + " bytes");
  }
}

TEST_CASE("a peer that closes after a burst: all of it shows and is counted, then the close") {
  const std::string burst = FloodPayload(3 << 20);
  const std::string closed = "\r\n=== Connection closed by remote host ( 127.0.0.1 )\r\n";
  struct Row {
    TransferMode mode;
    bool reportedUnread;  // the close is reported while the whole burst waits unread
  };
  for (const Row row : {Row{TransferMode::Ascii, false}, Row{TransferMode::Ascii, true},
                        Row{TransferMode::Binary, true}}) {
    CAPTURE(static_cast<int>(row.mode));
    CAPTURE(row.reportedUnread);
    LineThenCloseServer peer(burst, true);
    REQUIRE(peer.ok());
    FreshWindow w;
    SetTransferMode(row.mode);
    REQUIRE(OpenSession(peer.port()));
    if (row.reportedUnread) {
      ReportCloseWithBurstUnread(peer, burst.size());
    } else {
      peer.Release();
    }
    REQUIRE(PumpUntil([] { return !app.session.connected(); }, 60000));
    REQUIRE(PumpUntilShown(60000));  // the close line may wait for the pane to catch up

    const std::string last =
        (row.mode == TransferMode::Binary ? "0D 0A \r\n" : burst.substr(burst.size() - 40)) +
        closed;
    const std::string shown = Transcript();
    CHECK(shown.size() >= last.size());
    CHECK(shown.substr(shown.size() - std::min(shown.size(), last.size())) == last);
    CHECK(app.session.counters().sessionIn == static_cast<int64_t>(burst.size()));
    CHECK(app.session.counters().totalIn == static_cast<int64_t>(burst.size()));
    CHECK(StatusPart(4) == "In: " + std::to_string(burst.size()) + " bytes");
    CheckIdleView();
  }
}

TEST_CASE(
    "a read put off when a receive error comes shows before the error; the next session reads") {
  ScriptedServer first, second;
  REQUIRE(first.ok());
  REQUIRE(second.ok());
  FreshWindow w;
  REQUIRE(OpenSession(first.port()));
  const size_t start = TranscriptTail().size();
  REQUIRE(ReadEventPutOff("late\r\n", first));

  SendMessageA(app.controls.mainWindow, kSocketNotify, app.network.sessionSocket,
               WSAMAKESELECTREPLY(FD_READ, WSAECONNABORTED));
  CHECK(TranscriptTail().substr(start) == "late\r\n\r\nERR: Receive Error code: #10053");
  CHECK(app.session.counters().sessionIn == 6);
  CHECK_FALSE(app.session.connected());
  CHECK(!app.session.readDeferred());
  CHECK_FALSE(KillTimer(app.controls.mainWindow, kReadResumeTimerId));

  // The next socket may well get the handle of the first.
  REQUIRE(OpenSession(second.port()));
  const std::string before = TranscriptTail();
  REQUIRE(second.Push("next\r\n"));
  CHECK(WaitBytesIn(6));
  CHECK(TranscriptTail() == before + "next\r\n");
  CHECK(StatusPart(4) == "In: 6 bytes");
}

TEST_CASE("a read that cannot be put off for want of a timer is done at once, and later ones too") {
  ScriptedSession session;
  // SetTimer fails for a window that is gone, as it does when the system has no timer
  // left: for the read, the main window is such a window now.
  const HWND gone =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  REQUIRE(!SetTimer(gone, 1, 10, nullptr));
  const HWND mainWindow = app.controls.mainWindow;
  app.controls.mainWindow = gone;
  HandleReadEventWhileTimerDue("first\r\n", session.peer, mainWindow);
  app.controls.mainWindow = mainWindow;

  CHECK(!app.session.readDeferred());
  CHECK(app.session.counters().sessionIn == 7);
  REQUIRE(session.peer.Push("second\r\n"));
  CHECK(WaitBytesIn(15));
  CHECK(TranscriptTail().substr(TranscriptTail().size() - 15) == "first\r\nsecond\r\n");
}

TEST_CASE("datagrams that wait together are each a read of their own, in order") {
  FreshWindow w;
  SetTransferMode(TransferMode::Binary);
  // A UDP peer of the test's own: the session is fixed to its address.
  int port = 0;
  const SOCKET peer = DatagramSocketOnLoopback(port);
  REQUIRE(OpenSession(port, false));
  sockaddr_in window = {};
  int length = sizeof window;
  REQUIRE(getsockname(app.network.sessionSocket, reinterpret_cast<sockaddr*>(&window), &length) ==
          0);

  const size_t start = TranscriptTail().size();
  for (const std::string& datagram :
       {std::string("A"), std::string("BC"), std::string(), std::string("D")})
    REQUIRE(sendto(peer, datagram.data(), static_cast<int>(datagram.size()), 0,
                   reinterpret_cast<sockaddr*>(&window),
                   sizeof window) == static_cast<int>(datagram.size()));
  // Loopback delivers a datagram within sendto: all of them wait before the window reads.
  // Until the read events that the first read made stale are handled too.
  CHECK(PumpUntil([] {
    MSG waiting;
    return app.session.counters().sessionIn == 4 && TranscriptUpToDate() &&
           !PeekMessageA(&waiting, app.controls.mainWindow, kSocketNotify, kSocketNotify,
                         PM_NOREMOVE);
  }));
  CHECK(TranscriptTail().substr(start) == "41 \r\n42 43 \r\n\r\n44 \r\n");
  CHECK(StatusPart(4) == "In: 4 bytes");
  closesocket(peer);
}
