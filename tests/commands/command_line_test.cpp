// The command line through the real send line: typed keys, then Enter released.
#include <string>

#include "commands/reports.h"
#include "commands/web_pages.h"
#include "fixtures.h"
#include "parse/scheme_table.h"
#include "parse/web_page_address.h"
#include "support/peers.h"
#include "text/texts.h"
#include "view/output_pane.h"
#include "view/scheme_colors.h"

namespace {

int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string ExpectedWinsockReport() {
  const WSADATA& info = app.network.winsockInfo;
  return "\r\n\r\n-------------------------------------\r\n      Winsock Information:\r\n"
         "-------------------------------------\r\n\r\nDescription:   " +
         std::string(info.szDescription) + "\r\nVersion:   " + std::to_string(info.wVersion) +
         "\r\nSystem Status:   " + std::string(info.szSystemStatus) + "\r\n\r\n";
}

}  // namespace

TEST_CASE("protocol commands print and set the status even when nothing changes") {
  FreshWindow w("[Telvane/Settings]\r\nprotocol=0\r\n");
  app.choices.useTcp = 1;
  RunTyped(":tcp");
  CHECK(TranscriptTail() == "\r\n--- Using TCP/IP now!\r\n");
  CHECK(app.choices.useTcp == 1);
  CHECK(StatusPart(3) == "TCP/IP");
  CHECK(WindowText(app.controls.sendLine).empty());

  RunTyped(":UDP");
  CHECK(TranscriptTail() == "\r\n--- Using TCP/IP now!\r\n\r\n--- Using UDP/IP now!\r\n");
  CHECK(app.choices.useTcp == 0);
  CHECK(StatusPart(3) == "UDP/IP");
  CHECK(WindowText(app.controls.sendLine).empty());
}

TEST_CASE("mode commands") {
  struct Row {
    const char* typed;
    BYTE textMode, advancedMode;
    const char* message;
    const char* status;
  };
  const Row rows[] = {
      {":bin", 0, 0, "\r\n--- Switched to binary mode!\r\n", "Binary"},
      {":ascii", 1, 0, "\r\n--- Switched to ASCII mode!\r\n", "ASCII"},
      {":binary", 0, 0, "\r\n--- Switched to binary mode!\r\n", "Binary"},
      {":adv", 1, 1, "\r\n--- Switched to advanced mode!\r\n", "Advanced"},
      {":ascii", 1, 0, "\r\n--- Switched to ASCII mode!\r\n", "ASCII"},
      {":Advanced", 1, 1, "\r\n--- Switched to advanced mode!\r\n", "Advanced"},
      {":advanced", 1, 1, "\r\n--- Switched to advanced mode!\r\n", "Advanced"},
  };
  FreshWindow w;
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    const std::string before = Transcript();
    RunTyped(row.typed);
    CHECK(Transcript() == before + row.message);
    CHECK(app.session.mode() == (!row.textMode      ? TransferMode::Binary
                                 : row.advancedMode ? TransferMode::Advanced
                                                    : TransferMode::Ascii));
    CHECK(StatusPart(2) == row.status);
    CHECK(WindowText(app.controls.sendLine).empty());
  }
}

TEST_CASE("help and statistics print once until something else is written") {
  FreshWindow w;
  app.session.counters().succeeded = 3;
  app.session.counters().failed = 2;
  app.session.counters().totalOut = 5000000000LL;
  app.session.counters().totalIn = 12;
  const std::string stats =
      "\r\n\r\n-------------------------------------\r\n     Connection statistics:\r\n"
      "-------------------------------------\r\n\r\nConnections:   5\r\n"
      "   ... successfull:   3\r\n   ... failed:   2\r\n\r\nTotal bytes sent:   5000000000\r\n"
      "Total bytes received:   12\r\n\r\n";

  RunTyped(":stats");
  CHECK(TranscriptTail() == stats);
  CHECK(WindowText(app.controls.sendLine).empty());
  RunTyped(":stats");
  CHECK(TranscriptTail() == stats);
  CHECK(WindowText(app.controls.sendLine).empty());  // matched, so emptied though nothing printed

  RunTyped(":help");
  CHECK(TranscriptTail() == stats + kHelpText);  // the statistics left help armed
  RunTyped(":help");
  PressKey(app.controls.sendLine, VK_F1);
  CHECK(TranscriptTail() == stats + kHelpText);

  RunTyped(":stats");  // the help armed the statistics again
  CHECK(TranscriptTail() == stats + kHelpText + stats);

  RunTyped(":winsock");
  RunTyped(":help");
  RunTyped(":stats");
  CHECK(TranscriptTail() ==
        stats + kHelpText + stats + ExpectedWinsockReport() + kHelpText + stats);

  // A cleared transcript arms both again.
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED), 0);
  RunTyped(":stats");
  CHECK(TranscriptTail() == stats);
}

TEST_CASE(":winsock prints every time") {
  FreshWindow w;
  for (int i = 1; i <= 3; ++i) {
    RunTyped(":winsock");
    CHECK(Occurrences(TranscriptTail(), ExpectedWinsockReport()) == i);
    CHECK(WindowText(app.controls.sendLine).empty());
  }
  CHECK(TranscriptTail() ==
        ExpectedWinsockReport() + ExpectedWinsockReport() + ExpectedWinsockReport());
}

TEST_CASE("scheme commands: accepted forms set the scheme and empty the line") {
  struct Row {
    const char* typed;
    int index;  // -1: rejected, the line keeps the text
  };
  const Row rows[] = {
      {":scheme 4", 3},    {":Scheme 5", 4},   {":scheme_6", 5},   {":schemes 2", 1},
      {":scheme 7abc", 6}, {":scheme 9", 8},   {":scheme4", -1},   {":scheme", -1},
      {":scheme 0", -1},   {":scheme 10", -1}, {":scheme -3", -1}, {":scheme 1", 0},
  };
  FreshWindow w;
  app.choices.schemeIndex = 2;
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    const int before = app.choices.schemeIndex;
    const std::string transcript = Transcript();
    RunExact(row.typed);
    CHECK(app.choices.schemeIndex == (row.index < 0 ? before : row.index));
    CHECK(WindowText(app.controls.sendLine) == (row.index < 0 ? row.typed : ""));
    CHECK(Transcript() == transcript);  // a scheme change prints nothing
    HDC dc = GetDC(app.controls.outputPane);
    SendMessageA(w.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(app.controls.outputPane));
    CHECK(GetBkColor(dc) == SchemeTable[app.choices.schemeIndex].background);  // shown at once
    ReleaseDC(app.controls.outputPane, dc);
  }
}

TEST_CASE("unmatched text stays in the send line and nothing happens") {
  FreshWindow w;
  const char* const texts[] = {" :help", ":help ", "hello", ":ascii:", ":scheme x"};
  for (const char* text : texts) {
    CAPTURE(text);
    RunExact(text);
    CHECK(WindowText(app.controls.sendLine) == text);
    CHECK(TranscriptTail().empty());
  }
  const std::string tooLong = ":scheme 3" + std::string(30, ' ') + "x";
  RunExact(tooLong);  // the number ends at the first non-digit; the rest is unseen
  CHECK(app.choices.schemeIndex == 2);
  CHECK(WindowText(app.controls.sendLine).empty());
}

TEST_CASE("the web page commands open the page in the system's language") {
  FreshWindow w;
  PageRecorder recorder;
  char expected[kWebPageAddressSize];
  LanguagePageAddress(GetSystemDefaultLangID(), expected);
  for (const char* typed : {":orvald", ":KEMMLITZ", ":orvald kemmlitz"}) {
    RunTyped(typed);
    CHECK(WindowText(app.controls.sendLine).empty());
  }
  REQUIRE(recorder.pages().size() == 3);
  for (const std::string& page : recorder.pages()) CHECK(page == expected);
  CHECK(TranscriptTail().empty());
}

TEST_CASE(":about shows the box; the line is emptied after it closes") {
  FreshWindow w;
  BoxContents box;
  std::string lineWhileOpen;
  ModalWatcher watcher([&] {
    HWND found = OpenMessageBox();
    if (!found) return false;
    box = ReadMessageBox(found);
    lineWhileOpen = WindowText(app.controls.sendLine);
    CloseMessageBox(found);
    return true;
  });
  RunTyped(":About");
  CHECK_FALSE(watcher.timedOut());
  CHECK(box.caption == "About Telvane ...");
  CHECK(box.text == AboutText());
  CHECK_FALSE(box.hasIcon);
  CHECK(lineWhileOpen == ":About");
  CHECK(WindowText(app.controls.sendLine).empty());
  CHECK(TranscriptTail().empty());
}

TEST_CASE("the command line runs while a connect is pending, and in Binary mode") {
  FreshWindow w("[Telvane/Settings]\r\nmode=2\r\n");
  SetTransferMode(TransferMode::Binary);
  SetSessionPhase(Phase::Connecting);  // the test is on connected alone
  RunTyped(":udp");
  CHECK(app.choices.useTcp == 0);
  CHECK(TranscriptTail() == "\r\n--- Using UDP/IP now!\r\n");
  RunTyped(":stats");
  CHECK(WindowText(app.controls.sendLine).empty());
  SetSessionPhase(Phase::Idle);
}

TEST_CASE("Enter while connected sends instead of running a command") {
  TcpEchoServer peer;
  REQUIRE(peer.ok());
  FreshWindow w;
  SetWindowTextA(app.controls.hostField, "127.0.0.1");
  SetWindowTextA(app.controls.portField, peer.PortText().c_str());
  SendMessageA(w.hwnd(), WM_COMMAND, kConnectButtonId, 0);
  REQUIRE(PumpUntil([] { return app.session.connected() != 0; }));
  RequestSpy spy;
  SetWindowTextA(app.controls.sendLine, ":udp");
  PressKey(app.controls.sendLine, VK_RETURN);
  CHECK(
      PumpUntil([] { return TranscriptTail().find(">>> :udp\r\n:udp\r\n") != std::string::npos; }));
  CHECK(WindowText(app.controls.sendLine).empty());
  CHECK(app.choices.useTcp);
  CHECK(spy.count() == 0);
}

TEST_CASE("a click on send while idle runs the command line") {
  FreshWindow w;
  SetWindowTextA(app.controls.sendLine, ":udp");
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kSendButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.controls.sendButton));
  CHECK(app.choices.useTcp == 0);
  CHECK(TranscriptTail() == "\r\n--- Using UDP/IP now!\r\n");
  CHECK(WindowText(app.controls.sendLine).empty());
  CHECK(GetFocus() == app.controls.sendLine);
}

TEST_CASE("a command typed while a TCP connect is pending") {
  ClosedPort closed;  // the connect stays pending until the refusal is handled
  FreshWindow w("[Telvane/Settings]\r\nhost=127.0.0.1\r\nport=" + closed.PortText() +
                "\r\nprotocol=0\r\n");
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kConnectButtonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(app.controls.connectButton));
  REQUIRE(app.session.connecting() == 1);
  RunTyped(":udp");  // no message is pumped meanwhile, so the connect is still pending
  CHECK(app.session.connecting() == 1);
  CHECK(app.choices.useTcp == 0);
  CHECK(TranscriptTail().find("\r\n--- Using UDP/IP now!\r\n") != std::string::npos);
  CHECK(WindowText(app.controls.sendLine).empty());
  CHECK(PumpUntil([] { return !app.session.connecting(); }, 5000));
}
