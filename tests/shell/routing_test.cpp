#include "support/harness.h"
#include "support/real_program.h"

#include <commctrl.h>

#include <vector>

#include "commands/reports.h"
#include "parse/program_name.h"
#include "shell/main_window.h"
#include "view/output_pane.h"

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

namespace {

const Phase kStates[] = {Phase::Idle, Phase::Connecting, Phase::Connected};
const char* const kStateNames[] = {"idle", "connecting", "connected"};

// What a message did, as the user sees it. Before it, the port field is empty (a
// connect stops at once with its line), the send line holds ":udp" (the command line
// prints a line; a session sends it, here to no socket) and the focus is in the host
// field.
std::string EffectSeen(const std::string& before) {
  const std::string now = Transcript();
  if (now == BannerText() && before != now) return "reset";
  if (now.compare(0, before.size(), before) != 0) return "rewritten";
  const std::string added = now.substr(before.size());
  if (added.empty())
    return GetFocus() == app.controls.sendLine ? "focus to the send line" : "nothing";
  const struct {
    const char* start;
    const char* effect;
  } lines[] = {
      {"\r\nERR: Invalid Port number!", "connect"},
      {"\r\n=== Disconnected", "disconnect"},
      {"\r\nERR: Send Error #", "send"},
      {"\r\n--- Using UDP/IP now!", "command line"},
      {"\r\n--- Switched to ASCII", "ascii"},
      {"\r\n--- Switched to advanced", "advanced"},
      {"\r\n--- Switched to binary", "binary"},
      {"\r\n\r\n-------------------------------------\r\n      Winsock", "winsock report"},
      {"\r\n\r\n-------------------------------------\r\n     Connection statistics", "statistics"},
      {kHelpText, "help"},
      {".", "dot"},
  };
  for (const auto& line : lines)
    if (added.compare(0, lstrlenA(line.start), line.start) == 0) return line.effect;
  return "appended " + added;
}

}  // namespace

TEST_CASE("every door of the main window, by its parameters and the session's state") {
  FreshWindow w;
  // The port field is empty, so a connect stops at once with its line; the send line
  // holds ":udp", which the command line runs and a session sends (here to no socket).
  const LPARAM line = reinterpret_cast<LPARAM>(app.controls.sendLine);
  const LPARAM fdWrite = WSAMAKESELECTREPLY(FD_WRITE, 0);
  const NMHDR paneClick = {app.controls.outputPane, kOutputPaneId, static_cast<UINT>(NM_CLICK)};
  const LPARAM click = reinterpret_cast<LPARAM>(&paneClick);
  const char *const none = "nothing", *const focus = "focus to the send line",
                    *const reset = "reset", *const cmdLine = "command line",
                    *const winsock = "winsock report", *const stats = "statistics";
  const struct {
    const char* name;
    UINT message;
    WORD low, high;  // of wParam
    LPARAM lParam;
    int armed;              // helpArmed and statsArmed
    const char* effect[3];  // idle, connecting, connected
    LRESULT result;
  } rows[] = {
      // clang-format off
      {"connect",                 WM_COMMAND,    102,                0,           0,       1, {"connect",  none,       none},         0},
      {"connect ERRSPACE",        WM_COMMAND,    102,                EN_ERRSPACE, 0,       1, {none,       none,       none},         0},
      {"connect MAXTEXT",         WM_COMMAND,    102,                EN_MAXTEXT,  0,       1, {none,       none,       none},         0},
      {"connect CHANGE",          WM_COMMAND,    102,                EN_CHANGE,   0,       1, {none,       none,       none},         0},
      {"disconnect",              WM_COMMAND,    103,                0,           0,       1, {focus,      focus,      "disconnect"}, 0},
      {"disconnect ERRSPACE",     WM_COMMAND,    103,                EN_ERRSPACE, 0,       1, {focus,      focus,      focus},        0},
      {"disconnect MAXTEXT",      WM_COMMAND,    103,                EN_MAXTEXT,  0,       1, {focus,      focus,      focus},        0},
      {"disconnect DBLCLK",       WM_COMMAND,    103,                BN_DBLCLK,   0,       1, {focus,      focus,      focus},        0},
      {"send",                    WM_COMMAND,    104,                0,           0,       1, {cmdLine,    cmdLine,    "send"},       0},
      {"send ERRSPACE",           WM_COMMAND,    104,                EN_ERRSPACE, 0,       1, {cmdLine,    cmdLine,    focus},        0},
      {"send MAXTEXT",            WM_COMMAND,    104,                EN_MAXTEXT,  0,       1, {cmdLine,    cmdLine,    focus},        0},
      {"send CHANGE",             WM_COMMAND,    104,                EN_CHANGE,   0,       1, {cmdLine,    cmdLine,    focus},        0},
      {"clear",                   WM_COMMAND,    105,                0,           0,       1, {reset,      reset,      reset},        0},
      {"clear ERRSPACE",          WM_COMMAND,    105,                EN_ERRSPACE, 0,       1, {reset,      reset,      reset},        0},
      {"clear MAXTEXT",           WM_COMMAND,    105,                EN_MAXTEXT,  0,       1, {reset,      reset,      reset},        0},
      {"clear CHANGE",            WM_COMMAND,    105,                EN_CHANGE,   0,       1, {none,       none,       none},         0},
      {"send line",               WM_COMMAND,    106,                0,           0,       1, {none,       none,       none},         0},
      {"send line MAXTEXT",       WM_COMMAND,    106,                EN_MAXTEXT,  0,       1, {none,       none,       none},         0},
      {"send line CHANGE",        WM_COMMAND,    106,                EN_CHANGE,   line,    1, {none,       none,       none},         0},
      {"pane",                    WM_COMMAND,    107,                0,           0,       1, {reset,      reset,      reset},        0},
      {"pane ERRSPACE",           WM_COMMAND,    107,                EN_ERRSPACE, 0,       1, {reset,      reset,      reset},        0},
      {"pane MAXTEXT",            WM_COMMAND,    107,                EN_MAXTEXT,  0,       1, {reset,      reset,      reset},        0},
      {"pane CHANGE",             WM_COMMAND,    107,                EN_CHANGE,   0,       1, {none,       none,       none},         0},
      {"ASCII",                   WM_COMMAND,    301,                0,           0,       1, {"ascii",    "ascii",    "ascii"},      0},
      {"Advanced CHANGE",         WM_COMMAND,    302,                EN_CHANGE,   0,       1, {"advanced", "advanced", "advanced"},   0},
      {"Binary 0x1234",           WM_COMMAND,    303,                0x1234,      0,       1, {"binary",   "binary",   "binary"},     0},
      {"an ID no row names",      WM_COMMAND,    999,                0,           0,       1, {none,       none,       none},         0},
      {"report 1/1",              WM_USER,       1,                  0,           1,       1, {winsock,    winsock,    winsock},      0},
      {"report 1/1 not armed",    WM_USER,       1,                  0,           1,       0, {winsock,    winsock,    winsock},      0},
      {"report 1/2",              WM_USER,       1,                  0,           2,       1, {stats,      stats,      stats},        0},
      {"report 1/2 not armed",    WM_USER,       1,                  0,           2,       0, {none,       none,       none},         0},
      {"report 2/1",              WM_USER,       2,                  0,           1,       1, {none,       none,       none},         0},
      {"report 2/2",              WM_USER,       2,                  0,           2,       1, {none,       none,       none},         0},
      {"report 1/0",              WM_USER,       1,                  0,           0,       1, {none,       none,       none},         0},
      {"report 1/3",              WM_USER,       1,                  0,           3,       1, {none,       none,       none},         0},
      {"F1",                      WM_KEYUP,      VK_F1,              0,           0,       1, {"help",     "help",     "help"},       0},
      {"F1 not armed",            WM_KEYUP,      VK_F1,              0,           0,       0, {none,       none,       none},         0},
      {"F2",                      WM_KEYUP,      VK_F2,              0,           0,       1, {none,       none,       none},         0},
      {"connect timer",           WM_TIMER,      kConnectTimerId,    0,           0,       1, {none,       "dot",      none},         0},
      {"another program's timer", WM_TIMER,      77,                 0,           0,       1, {none,       "dot",      none},         0},
      {"frame timer",             WM_TIMER,      kFrameTimerId,      0,           0,       1, {none,       none,       none},         0},
      {"send wait timer",         WM_TIMER,      kSendWaitTimerId,   0,           0,       1, {none,       none,       none},         0},
      {"read resume timer",       WM_TIMER,      kReadResumeTimerId, 0,           0,       1, {none,       none,       none},         0},
      {"step timer",              WM_TIMER,      kStepTimerId,       0,           0,       1, {none,       none,       none},         0},
      {"write, no session",       kSocketNotify, 0,                  0,           fdWrite, 1, {none,       none,       none},         0},
      {"a click on the pane",     WM_NOTIFY,     0,                  0,           click,   1, {none,       none,       none},         0},
      // clang-format on
  };
  for (const auto& row : rows) {
    for (int state = 0; state < 3; ++state) {
      const std::string name = std::string(row.name) + ", " + kStateNames[state];
      const std::string expected = row.effect[state];
      CAPTURE(name);
      SetSessionPhase(kStates[state]);
      SetTransferMode(TransferMode::Ascii);
      SetWindowTextA(app.controls.portField, "");
      SetWindowTextA(app.controls.sendLine, ":udp");
      SetFocus(app.controls.hostField);
      ResetTranscript();
      AppendOutput("text");
      app.transcript.helpArmed = row.armed;
      app.transcript.statsArmed = row.armed;
      const std::string before = Transcript();
      const std::string title = WindowText(w.hwnd());
      CHECK(SendMessageA(w.hwnd(), row.message, MAKEWPARAM(row.low, row.high), row.lParam) ==
            row.result);
      CHECK(EffectSeen(before) == expected);
      if (expected == none) CHECK(WindowText(w.hwnd()) == title);
    }
  }
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
