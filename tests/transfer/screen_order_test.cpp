// What the screen shows follows what happened: the send button follows the hex line
// whatever refreshed the view, a line that comes back keeps the caret at its end, the
// pane's menu acts on the transcript as it stands, and a peer's close is shown with
// its line.
#include "commands/menus.h"
#include "session/session_steps.h"
#include "support/peers.h"
#include "transfer/scripted_peers.h"
#include "transfer/transfer_fixture.h"
#include "view/output_pane.h"

namespace {

constexpr char kHalfByteStates[] = "00010111";
const std::string kClosed = "\r\n=== Connection closed by remote host ( 127.0.0.1 )\r\n";

// The line's 3 s wait for room runs out.
void SendWaitRunsOut() {
  REQUIRE(PumpUntil([] { return !app.session.lineInFlight(); }, 6000));
}

// A line that waits for room in a stalled session, given up when its wait runs out.
void LineGivenUp(const std::string& line) {
  REQUIRE(FillPipe() > 0);
  EnterLine(line);
  ClickSend();
  REQUIRE(app.session.lineInFlight());
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

std::string PaneText() { return WindowText(app.controls.outputPane); }

}  // namespace

TEST_CASE("a half byte keeps the send button disabled when a line given up refreshes the view") {
  ScriptedSession session(TransferMode::Binary, true, 4096);
  LineGivenUp("41");
  TypeChars(app.controls.sendLine, "4");
  REQUIRE(EnabledStates() == kHalfByteStates);
  const TranscriptMark mark;
  SendWaitRunsOut();
  REQUIRE(mark.Since() == "\r\nERR: Send Error #10035");
  CHECK(WindowText(app.controls.sendLine) == "4");  // not written over by the line
  CHECK(EnabledStates() == kHalfByteStates);
  PressKey(app.controls.sendLine, VK_RETURN);  // waits for the second digit
  CHECK(mark.Since() == "\r\nERR: Send Error #10035");
  TypeChars(app.controls.sendLine, "2");
  CHECK(EnabledStates() == kConnectedStates);
}

TEST_CASE("a line that comes back has the caret at its end") {
  ScriptedSession session(TransferMode::Ascii, true, 4096);
  LineGivenUp("hello");
  SendWaitRunsOut();
  REQUIRE(WindowText(app.controls.sendLine) == "hello");
  CHECK(Selection(app.controls.sendLine) == std::make_pair(DWORD{5}, DWORD{5}));
  TypeChars(app.controls.sendLine, "!");
  CHECK(WindowText(app.controls.sendLine) == "hello!");
}

TEST_CASE("the pane's menu selects and copies the transcript as it stands") {
  SUBCASE("select all takes in what was read but not yet drawn") {
    ScriptedSession session;
    const std::string read = ReadButNotShown("not drawn yet\r\n", session.peer);
    REQUIRE(PaneText().find(read) == std::string::npos);
    OnOutputMenuCommand(kMenuSelectAllId);
    CHECK(PaneText().find(read) != std::string::npos);
    CHECK(Selection(app.controls.outputPane).second == PaneText().size());
  }
  SUBCASE("a selection made while more waited to be drawn is copied as it was") {
    ScriptedSession session;
    const std::string read = ReadButNotShown("more\r\n", session.peer);
    const std::string selected = PaneText().substr(0, 20);
    SendMessageA(app.controls.outputPane, EM_SETSEL, 0, 20);
    OnOutputMenuCommand(kMenuCopyId);
    CHECK(ClipboardText() == selected);
    CHECK(PaneText().find(read) != std::string::npos);
  }
}

TEST_CASE("after a peer's close the screen says so when the pane shows the close line") {
  LineThenCloseServer peer(std::string(20000, 'x') + "\r\nlast\r\n", true);
  REQUIRE(peer.ok());
  FreshWindow window;
  REQUIRE(OpenSession(peer.port()));
  peer.Release();
  // Message by message: whenever the status says the session is over, the close line
  // is on screen already.
  bool closed = false;
  for (int step = 0; step < 200000 && !closed; ++step) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      Sleep(1);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (StatusPart(1) != "Not connected") continue;
    closed = true;
    CHECK(PaneText().size() >= kClosed.size());
    CHECK(PaneText().compare(PaneText().size() - kClosed.size(), kClosed.size(), kClosed) == 0);
    CHECK(WindowText(app.controls.mainWindow) == "Telvane - Kestrelink");
  }
  CHECK(closed);
  CHECK(PumpUntilShown());
  CheckIdleView();
}
