#include "support/harness.h"
#include "support/real_program.h"

#include <commctrl.h>

#include <vector>

#include "parse/program_name.h"
#include "shell/main_window.h"

namespace {

HWND TooltipOf(HWND mainWindow) {
  return FindThreadWindow([mainWindow](HWND window) {
    if (lstrcmpiA(ClassOf(window).c_str(), TOOLTIPS_CLASSA) != 0) return false;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    return SendMessageA(window, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)) &&
           tool.hwnd == mainWindow;
  });
}

int ThreadTooltipCount() {
  int count = 0;
  FindThreadWindow([&count](HWND window) {
    if (lstrcmpiA(ClassOf(window).c_str(), TOOLTIPS_CLASSA) == 0) ++count;
    return false;
  });
  return count;
}

// Stands in for GetMessageA: fails every time, and after a few calls ends a loop
// that would otherwise go on with WM_QUIT.
int failingCalls = 0;
BOOL WINAPI FailingMessageSource(LPMSG message, HWND, UINT, UINT) {
  if (++failingCalls > 3) {
    *message = MSG{};
    message->message = WM_QUIT;
    return 0;
  }
  return -1;
}

}  // namespace

TEST_CASE("focus starts in the host field with its text selected") {
  FreshWindow w("[Telvane/Settings]\r\nhost=example.invalid\r\nport=7\r\n");
  CHECK(GetFocus() == app.controls.hostField);
  DWORD start = 0, end = 0;
  SendMessageA(app.controls.hostField, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  CHECK(start == 0);
  CHECK(end == static_cast<DWORD>(GetWindowTextLengthA(app.controls.hostField)));
  CHECK(end > 0);
}

TEST_CASE("seven tooltips watch the top row") {
  FreshWindow w;
  HWND tooltip = TooltipOf(w.hwnd());
  REQUIRE(tooltip != nullptr);
  CHECK(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0) == 7);
  const HWND controls[] = {app.controls.hostField,     app.controls.portField,
                           app.controls.connectButton, app.controls.disconnectButton,
                           app.controls.sendButton,    app.controls.clearButton,
                           app.controls.sendLine};
  const char* const texts[] = {
      "enter IP or hostname",     "enter destination port", "connect to target", "close connection",
      "send data to destination", "clear output window",    "enter data to send"};
  for (int i = 0; i < 7; ++i) {
    CAPTURE(texts[i]);
    char text[80] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = w.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(controls[i]);
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    CHECK(std::string(text) == texts[i]);
  }
}

TEST_CASE("the tooltip window goes with the main window") {
  const int before = ThreadTooltipCount();
  {
    FreshWindow w;
    CHECK(ThreadTooltipCount() == before + 1);
    w.Close();
    CHECK(ThreadTooltipCount() == before);
  }
  CHECK(ThreadTooltipCount() == before);
}

TEST_CASE("the message loop ends with WM_QUIT's code, and at once when it cannot get messages") {
  PostQuitMessage(7);
  CHECK(RunMessageLoop() == 7);

  failingCalls = 0;
  CHECK(RunMessageLoop(FailingMessageSource) == kMessageLoopFailed);
  CHECK(failingCalls == 1);
}

TEST_CASE("messages that no handler names change nothing") {
  FreshWindow w;
  const std::string transcript = Transcript();
  const std::string status0 = StatusPart(0);
  const std::string title = WindowText(w.hwnd());

  CHECK(SendMessageA(w.hwnd(), WM_COMMAND, 999, 0) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kSendLineId, EN_CHANGE),
                     reinterpret_cast<LPARAM>(app.controls.sendLine)) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kClearButtonId, EN_CHANGE), 0) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_USER, 2, 1) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_USER, 1, 0) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_USER, 1, 3) == 0);
  CHECK(SendMessageA(w.hwnd(), kSocketNotify, 0, WSAMAKESELECTREPLY(FD_WRITE, 0)) == 0);
  CHECK(SendMessageA(w.hwnd(), WM_KEYUP, VK_F2, 0) == 0);
  NMHDR other = {};
  other.hwndFrom = app.controls.outputPane;
  other.code = NM_CLICK;
  CHECK(SendMessageA(w.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other)) == 0);

  CHECK(Transcript() == transcript);
  CHECK(StatusPart(0) == status0);
  CHECK(WindowText(w.hwnd()) == title);
  CHECK(IsWindow(w.hwnd()));
}

TEST_CASE("closing the window ends the real program with exit code 0") {
  const std::string folder = MakeTempFolder();
  const std::string exe = folder + "\\telvane.exe";
  REQUIRE(CopyFileA(BesideTestProgram("telvane.exe").c_str(), exe.c_str(), FALSE));
  const ProgramRun run = RunAndClose(exe, "\"" + exe + "\" --ignored \"and this\" too", folder);
  CHECK(run.windowAppeared);
  CHECK(run.title == "Telvane - Kestrelink");
  CHECK(run.ended);
  CHECK(run.exitCode == 0);
  RemoveFolder(folder);
}

TEST_CASE("the target fields show their text from its first character") {
  FreshWindow w;
  CHECK(WindowText(app.controls.hostField).size() > 0);
  CHECK(SendMessageA(app.controls.hostField, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
  CHECK(SendMessageA(app.controls.portField, EM_GETFIRSTVISIBLELINE, 0, 0) == 0);
}
