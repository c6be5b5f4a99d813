// The receive path over real loopback sessions: what shows, what is counted, and a
// window that keeps answering while a peer floods it.
#include <atomic>
#include <thread>
#include <vector>

#include "codec/binary_mode.h"
#include "session/session_steps.h"
#include "session/receiving.h"
#include "transfer/scripted_peers.h"
#include "transfer/transfer_fixture.h"

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
      {TransferMode::Ascii, {"A\x01\x1b" "B\x7f"}, "A\x01\x1b" "B\x7f"},
      // The count reaches the writer whole: a zero byte ends nothing (it is left out).
      {TransferMode::Ascii, {Bytes("AB\0CD\r\nEF", 9), "G"}, "ABCD\r\nEFG"},
      {TransferMode::Advanced, {"A\tB", Bytes("\0\x1b\r", 3), "\n\x7f"}, "A\\tB\\x00\\x1B\r\r\n\\x7F"},
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
    CHECK(app.totalBytesReceived == total);
    CHECK(StatusPart(0) == "Ready");
    CHECK(app.connected);
  }
}

TEST_CASE("the byte counters go on past 2 GiB and 4 GiB") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  app.sessionBytesIn = 0x7FFFFFFF;
  app.totalBytesReceived = 0xFFFFFFFFLL;
  app.sessionBytesOut = 0xFFFFFFFFLL;
  app.totalBytesSent = 0x7FFFFFFF;

  REQUIRE(peer.Push("12345"));
  REQUIRE(WaitBytesIn(0x7FFFFFFFLL + 5));
  CHECK(StatusPart(4) == "In: 2147483652 bytes");
  CHECK(app.totalBytesReceived == 0xFFFFFFFFLL + 5);
  EnterLine("abc");
  ClickSend();
  CHECK(StatusPart(5) == "Out: 4294967300 bytes");
  CHECK(app.totalBytesSent == 0x7FFFFFFFLL + 5);
}

TEST_CASE("a read event with an error ends the session with its code") {
  ScriptedSession session;
  ScriptedServer& peer = session.peer;
  const std::string before = TranscriptTail();
  SendMessageA(app.mainWindow, kSocketNotify, app.sessionSocket,
               WSAMAKESELECTREPLY(FD_READ, WSAECONNABORTED));
  CHECK(TranscriptTail() == before + "\r\nERR: Receive Error code: #10053");
  CheckIdleView();
  CHECK(app.sessionSocket == 0);
  CHECK(PumpUntil([&] { return peer.ClientClosed(); }));
}

TEST_CASE("a read whose pending count cannot be had reads nothing") {
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary}) {
    FreshWindow w;
    SetTransferMode(mode);
    // A session whose socket has gone behind its back.
    app.sessionSocket = socket(AF_INET, SOCK_STREAM, 0);
    closesocket(app.sessionSocket);
    app.connected = 1;
    const std::string before = TranscriptTail();
    ReceivePending();
    CHECK(TranscriptTail() == before + (mode == TransferMode::Binary ? "\r\n" : ""));
    CHECK(StatusPart(4) == "In: 0 bytes");
    CHECK(StatusPart(0) == "Ready");
    CHECK(app.totalBytesReceived == 0);
    app.connected = 0;
    app.sessionSocket = 0;
  }
}

TEST_CASE("a 2 MB flood: the window keeps answering and every byte is counted") {
  const std::string payload = FloodPayload(2 << 20);
  for (TransferMode mode : {TransferMode::Ascii, TransferMode::Advanced, TransferMode::Binary}) {
    CAPTURE(static_cast<int>(mode));
    ScriptedSession session(mode);
    ScriptedServer& peer = session.peer;

    const int64_t floodTotal = static_cast<int64_t>(payload.size());
    AnswerProbe probe(app.mainWindow);
    const int answeredBefore = probe.answered();
    peer.PushInBackground(payload);
    const bool all = WaitBytesIn(floodTotal, 60000);
    const int answeredDuring = probe.answered() - answeredBefore;
    probe.Finish();

    CHECK(all);
    CHECK(app.sessionBytesIn == floodTotal);
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
          mode == TransferMode::Ascii ? tail : tail.substr(0, tail.find('\t')) + "\\t" +
                                                   tail.substr(tail.find('\t') + 1);
      CHECK(shown.size() >= expected.size());
      CHECK(shown.substr(shown.size() - expected.size()) == expected);
    }
    CHECK(app.connected);
  }
}

namespace {
void CALLBACK NoTick(HWND, UINT, UINT_PTR, DWORD) {}

// Handles the read event of data that came while a timer of the user's side was due,
// so the window puts the read off; nothing else is handled.
bool ReadEventPutOff(const std::string& data, ScriptedServer& peer) {
  REQUIRE(peer.Push(data));
  REQUIRE(WaitUnread(static_cast<unsigned long>(data.size())));
  const UINT_PTR timer = SetTimer(nullptr, 0, 1, NoTick);
  Sleep(20);  // the timer is due now
  MSG message;
  const DWORD start = GetTickCount();
  while (!PeekMessageA(&message, app.mainWindow, kSocketNotify, kSocketNotify, PM_REMOVE)) {
    if (GetTickCount() - start > 5000) break;
    Sleep(5);
  }
  DispatchMessageA(&message);
  KillTimer(nullptr, timer);
  return app.readResumeSocket != 0 && app.sessionBytesIn == 0;
}
}  // namespace

TEST_CASE("data put off behind the user's messages still shows before what the user does next") {
  ScriptedSession session;
  const size_t before = TranscriptTail().size();

  SUBCASE("a disconnect") {
    REQUIRE(ReadEventPutOff("late reply\r\n", session.peer));
    SendMessageA(app.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
    CHECK(TranscriptTail().substr(before) == "late reply\r\n\r\n=== Disconnected\r\n");
    CHECK(app.sessionBytesIn == 12);
  }
  SUBCASE("a send") {
    REQUIRE(ReadEventPutOff("late reply\r\n", session.peer));
    EnterLine("next");
    ClickSend();
    CHECK(TranscriptTail().substr(before) == "late reply\r\n\r\n>>> next\r\n");
    CHECK(app.sessionBytesIn == 12);
  }
  PumpFor(50);  // the put-off read's own timer finds nothing left to do
  CHECK(app.sessionBytesIn == 12);
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
      PumpFor(50);  // the paint that follows the appends
      CHECK(app.connected);
    }
    CHECK(Transcript().find("\r\n\x98\r\n\t\x98\r\n") != std::string::npos);
  }
}
