// Keys in the host, port and send fields and in the output pane.
#include <string>

#include "commands/input_fields.h"
#include "commands/reports.h"
#include "fixtures.h"
#include "view/output_pane.h"

namespace {

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0, end = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void Char(HWND window, WPARAM c) { SendMessageA(window, WM_CHAR, c, 1); }
void KeyUp(HWND window, WPARAM key) { SendMessageA(window, WM_KEYUP, key, 0xC0000001); }

}  // namespace

TEST_CASE("the four edit controls are subclassed, each knowing its previous procedure") {
  FreshWindow w;
  // Function pointers compared as plain addresses, so that failures print.
  auto address = [](WNDPROC procedure) { return reinterpret_cast<uintptr_t>(procedure); };
  auto installed = [](HWND window) {
    return static_cast<uintptr_t>(GetWindowLongPtrA(window, GWLP_WNDPROC));
  };
  CHECK(installed(app.controls.outputPane) == address(&OutputPaneProc));
  CHECK(installed(app.controls.sendLine) == address(&SendLineProc));
  CHECK(installed(app.controls.hostField) == address(&EntryFieldProc));
  CHECK(installed(app.controls.portField) == address(&EntryFieldProc));
  for (WNDPROC previous : {app.controls.outputPanePrevProc, app.controls.sendLinePrevProc,
                           app.controls.entryFieldPrevProc}) {
    CHECK(address(previous) != 0);
    CHECK(address(previous) != address(&OutputPaneProc));
    CHECK(address(previous) != address(&SendLineProc));
    CHECK(address(previous) != address(&EntryFieldProc));
  }
  CHECK(app.controls.outputMenu != nullptr);
  // The handshake is consumed, not passed to the control.
  CHECK(SendMessageA(app.controls.sendLine, WM_USER,
                     reinterpret_cast<WPARAM>(app.controls.sendLinePrevProc), 0) == 0);

  // The pane's menu goes with the pane.
  HMENU menu = app.controls.outputMenu;
  CHECK(IsMenu(menu));
  DestroyWindow(w.hwnd());
  CHECK_FALSE(IsMenu(menu));
}

TEST_CASE("Enter released in the host or port field is a click on connect") {
  FreshWindow w;
  RequestSpy spy;
  // The attempt ends at once, with the port's line: one line per connect.
  SetWindowTextA(app.controls.portField, "");
  const std::string refused = "\r\nERR: Invalid Port number!\r\n";
  for (HWND field : {app.controls.hostField, app.controls.portField}) {
    ResetTranscript();
    const std::string text = WindowText(field);
    Char(field, '\r');  // the typed CR is dropped...
    CHECK(WindowText(field) == text);
    SendMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    CHECK(TranscriptTail().empty());
    KeyUp(field, VK_RETURN);  // ...and the release connects
    CHECK(TranscriptTail() == refused);
  }
  ResetTranscript();
  PressKey(app.controls.sendLine, VK_RETURN);
  PressKey(app.controls.hostField, 'A');
  CHECK(TranscriptTail().empty());
  CHECK(spy.count() == 0);  // no request went through the main window's doors
}

TEST_CASE("Enter in an empty port field reports the port") {
  FreshWindow w;
  SetWindowTextA(app.controls.portField, "");
  PressKey(app.controls.portField, VK_RETURN);
  CHECK(TranscriptTail().find("\r\nERR: Invalid Port number!\r\n") != std::string::npos);
}

TEST_CASE("Tab moves host to port to send line and stops there") {
  FreshWindow w;
  SetWindowTextA(app.controls.hostField, "h");
  SetWindowTextA(app.controls.portField, "1");
  SetWindowTextA(app.controls.sendLine, "s");
  SetFocus(app.controls.hostField);
  Char(app.controls.hostField, '\t');
  CHECK(GetFocus() == app.controls.portField);
  Char(app.controls.portField, '\t');
  CHECK(GetFocus() == app.controls.sendLine);
  Char(app.controls.sendLine, '\t');
  CHECK(GetFocus() == app.controls.sendLine);
  CHECK(WindowText(app.controls.hostField) == "h");
  CHECK(WindowText(app.controls.portField) == "1");
  CHECK(WindowText(app.controls.sendLine) == "s");
}

TEST_CASE("CR never reaches a field; other characters do") {
  FreshWindow w;
  SetWindowTextA(app.controls.hostField, "");
  SetWindowTextA(app.controls.portField, "");
  SetWindowTextA(app.controls.sendLine, "");
  for (HWND field : {app.controls.hostField, app.controls.portField, app.controls.sendLine}) {
    SendMessageA(field, EM_SETSEL, -2, -2);
    Char(field, '\r');
    Char(field, '4');
    Char(field, '\r');
    CHECK(WindowText(field) == "4");
  }
  TypeChars(app.controls.sendLine, " a B");  // idle: spaces and case pass unchanged
  CHECK(WindowText(app.controls.sendLine) == "4 a B");
}

TEST_CASE("keys released in the edits, by key, control and the session's state") {
  FreshWindow w;
  RequestSpy spy;
  const HWND host = app.controls.hostField, port = app.controls.portField,
             line = app.controls.sendLine, pane = app.controls.outputPane;
  const char* const nothing = "nothing";
  const char* const focus = "focus to the send line";
  const struct {
    const char* name;
    HWND control;
    WPARAM key;
    Phase state;
    bool armed;  // helpArmed
    const char* effect;
  } rows[] = {
      {"host, Enter", host, VK_RETURN, Phase::Idle, true, "connect"},
      {"port, Enter", port, VK_RETURN, Phase::Idle, true, "connect"},
      {"host, Enter, connected", host, VK_RETURN, Phase::Connected, true, nothing},
      {"host, F1", host, VK_F1, Phase::Idle, true, "help"},
      {"host, F1 again", host, VK_F1, Phase::Idle, false, nothing},
      {"port, F1", port, VK_F1, Phase::Connected, true, "help"},
      {"host, A", host, 'A', Phase::Idle, true, nothing},
      {"send line, Enter", line, VK_RETURN, Phase::Idle, true, "command line"},
      {"send line, Enter, connecting", line, VK_RETURN, Phase::Connecting, true, "command line"},
      {"send line, Enter, connected", line, VK_RETURN, Phase::Connected, true, "send"},
      {"send line, F1", line, VK_F1, Phase::Idle, true, "help"},
      {"send line, F1 again", line, VK_F1, Phase::Idle, false, nothing},
      {"send line, A", line, 'A', Phase::Idle, true, nothing},
      {"send line, space", line, VK_SPACE, Phase::Idle, true, nothing},
      {"send line, F2", line, VK_F2, Phase::Connected, true, nothing},
      {"send line, Tab", line, VK_TAB, Phase::Idle, true, nothing},
      {"pane, F1", pane, VK_F1, Phase::Idle, true, "help"},
      {"pane, F1 again", pane, VK_F1, Phase::Connected, false, nothing},
      {"pane, Enter", pane, VK_RETURN, Phase::Idle, true, focus},
      {"pane, A", pane, 'A', Phase::Connected, true, focus},
  };
  const struct {
    const char* start;
    const char* effect;
  } lines[] = {
      {"\r\nERR: Invalid Port number!", "connect"},
      {"\r\nERR: Send Error #", "send"},
      {"\r\n--- Using UDP/IP now!", "command line"},
      {kHelpText, "help"},
  };
  for (const auto& row : rows) {
    const std::string name = row.name;
    CAPTURE(name);
    SetSessionPhase(row.state);
    SetWindowTextA(port, "");  // a connect stops at once with its line
    SetWindowTextA(line, ":udp");
    ResetTranscript();
    AppendOutput("text");
    app.transcript.helpArmed = row.armed;
    SetFocus(row.control);
    const std::string before = Transcript();
    KeyUp(row.control, row.key);
    const std::string added = Transcript().substr(before.size());
    std::string effect = added.empty()
                             ? (GetFocus() != row.control && GetFocus() == line ? focus : nothing)
                             : "appended " + added;
    for (const auto& seen : lines)
      if (added.compare(0, lstrlenA(seen.start), seen.start) == 0) effect = seen.effect;
    CHECK(effect == std::string(row.effect));
  }
  CHECK(spy.count() == 0);  // the controls' keys reach their commands, not the main window
}

TEST_CASE("typing into the output pane goes nowhere and moves the focus to the send line") {
  FreshWindow w;
  AppendOutput("abc\r\ndef");
  SetWindowTextA(app.controls.sendLine, "");
  const std::string transcript = Transcript();

  SUBCASE("a character") {
    SetFocus(app.controls.outputPane);
    Char(app.controls.outputPane, 'x');
    CHECK(GetFocus() == app.controls.sendLine);
  }
  SUBCASE("a character with Alt") {
    SetFocus(app.controls.outputPane);
    SendMessageA(app.controls.outputPane, WM_SYSCHAR, 'x', 0x20000001);
    CHECK(GetFocus() == app.controls.sendLine);
  }
  SUBCASE("Enter is dropped; its release moves the focus") {
    SetFocus(app.controls.outputPane);
    Char(app.controls.outputPane, '\r');
    CHECK(GetFocus() == app.controls.outputPane);
    KeyUp(app.controls.outputPane, VK_RETURN);
    CHECK(GetFocus() == app.controls.sendLine);
  }
  SUBCASE("navigation keys act on the pane, their release moves the focus") {
    SetFocus(app.controls.outputPane);
    SendMessageA(app.controls.outputPane, EM_SETSEL, -2, -2);
    const auto atEnd = Selection(app.controls.outputPane);
    SendMessageA(app.controls.outputPane, WM_KEYDOWN, VK_HOME, 1);
    CHECK(Selection(app.controls.outputPane).first < atEnd.first);
    CHECK(GetFocus() == app.controls.outputPane);
    KeyUp(app.controls.outputPane, VK_HOME);
    CHECK(GetFocus() == app.controls.sendLine);
  }
  SUBCASE("a paste") {
    SetClipboardText("PASTED");
    SetFocus(app.controls.outputPane);
    SendMessageA(app.controls.outputPane, EM_SETSEL, -2, -2);
    CHECK(SendMessageA(app.controls.outputPane, WM_PASTE, 0, 0) == 0);
    CHECK(GetFocus() == app.controls.sendLine);
    // The same clipboard does paste into the send line while idle.
    SendMessageA(app.controls.sendLine, WM_PASTE, 0, 0);
    CHECK(WindowText(app.controls.sendLine) == "PASTED");
  }
  SUBCASE("keys and messages that would cut, delete or paste leave the record alone") {
    SetClipboardText("PASTED");
    SetFocus(app.controls.outputPane);
    SendMessageA(app.controls.outputPane, EM_SETSEL, 0, -1);
    SendMessageA(app.controls.outputPane, WM_KEYDOWN, VK_DELETE, 1);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(app.controls.outputPane, WM_KEYDOWN, VK_INSERT, 1);
    SendMessageA(app.controls.outputPane, WM_KEYDOWN, VK_DELETE, 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    SendMessageA(app.controls.outputPane, WM_CUT, 0, 0);
    SendMessageA(app.controls.outputPane, WM_CLEAR, 0, 0);
    CHECK(ClipboardText() == "PASTED");
  }
  CHECK(Transcript() == transcript);
  CHECK(WindowText(app.controls.sendLine).find('x') == std::string::npos);
}
