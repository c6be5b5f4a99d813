// Keys in the host, port and send fields and in the output pane.
#include <string>

#include "codec/output_pane.h"
#include "commands/input_fields.h"
#include "commands/reports.h"
#include "fixtures.h"

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
  auto installed = [](HWND window) { return static_cast<uintptr_t>(GetWindowLongPtrA(window, GWLP_WNDPROC)); };
  CHECK(installed(app.outputPane) == address(&OutputPaneProc));
  CHECK(installed(app.sendLine) == address(&SendLineProc));
  CHECK(installed(app.hostField) == address(&EntryFieldProc));
  CHECK(installed(app.portField) == address(&EntryFieldProc));
  for (WNDPROC previous : {app.outputPanePrevProc, app.sendLinePrevProc, app.entryFieldPrevProc}) {
    CHECK(address(previous) != 0);
    CHECK(address(previous) != address(&OutputPaneProc));
    CHECK(address(previous) != address(&SendLineProc));
    CHECK(address(previous) != address(&EntryFieldProc));
  }
  CHECK(app.outputMenu != nullptr);
  // The handshake is consumed, not passed to the control.
  CHECK(SendMessageA(app.sendLine, WM_USER, reinterpret_cast<WPARAM>(app.sendLinePrevProc), 0) == 0);

  // The pane's menu goes with the pane.
  HMENU menu = app.outputMenu;
  CHECK(IsMenu(menu));
  DestroyWindow(w.hwnd());
  CHECK_FALSE(IsMenu(menu));
}

TEST_CASE("Enter released in the host or port field is a click on connect") {
  FreshWindow w;
  CommandSpy spy(true);
  for (HWND field : {app.hostField, app.portField}) {
    spy.Clear();
    const std::string text = WindowText(field);
    Char(field, '\r');  // the typed CR is dropped...
    CHECK(WindowText(field) == text);
    CHECK(spy.Count(kConnectButtonId) == 0);
    SendMessageA(field, WM_KEYDOWN, VK_RETURN, 1);
    CHECK(spy.Count(kConnectButtonId) == 0);
    KeyUp(field, VK_RETURN);  // ...and the release connects
    CHECK(spy.Count(kConnectButtonId) == 1);
  }
  PressKey(app.sendLine, VK_RETURN);
  PressKey(app.hostField, 'A');
  CHECK(spy.Count(kConnectButtonId) == 1);
}

TEST_CASE("Enter in an empty port field reports the port") {
  FreshWindow w;
  SetWindowTextA(app.portField, "");
  PressKey(app.portField, VK_RETURN);
  CHECK(TranscriptTail().find("\r\nERR: Invalid Port number!\r\n") != std::string::npos);
}

TEST_CASE("Tab moves host to port to send line and stops there") {
  FreshWindow w;
  SetWindowTextA(app.hostField, "h");
  SetWindowTextA(app.portField, "1");
  SetWindowTextA(app.sendLine, "s");
  SetFocus(app.hostField);
  Char(app.hostField, '\t');
  CHECK(GetFocus() == app.portField);
  Char(app.portField, '\t');
  CHECK(GetFocus() == app.sendLine);
  Char(app.sendLine, '\t');
  CHECK(GetFocus() == app.sendLine);
  CHECK(WindowText(app.hostField) == "h");
  CHECK(WindowText(app.portField) == "1");
  CHECK(WindowText(app.sendLine) == "s");
}

TEST_CASE("CR never reaches a field; other characters do") {
  FreshWindow w;
  SetWindowTextA(app.hostField, "");
  SetWindowTextA(app.portField, "");
  SetWindowTextA(app.sendLine, "");
  for (HWND field : {app.hostField, app.portField, app.sendLine}) {
    SendMessageA(field, EM_SETSEL, -2, -2);
    Char(field, '\r');
    Char(field, '4');
    Char(field, '\r');
    CHECK(WindowText(field) == "4");
  }
  TypeChars(app.sendLine, " a B");  // idle: spaces and case pass unchanged
  CHECK(WindowText(app.sendLine) == "4 a B");
}

TEST_CASE("F1 in any edit control prints the help once") {
  FreshWindow w;
  for (HWND control : {app.hostField, app.portField, app.sendLine, app.outputPane}) {
    SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED), 0);
    PressKey(control, VK_F1);
    CHECK(TranscriptTail() == kHelpText);
    PressKey(control, VK_F1);
    CHECK(TranscriptTail() == kHelpText);
  }
  SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(kClearButtonId, BN_CLICKED), 0);
  SendMessageA(w.hwnd(), WM_KEYUP, VK_F1, 0);  // the main window itself
  CHECK(TranscriptTail() == kHelpText);
}

TEST_CASE("typing into the output pane goes nowhere and moves the focus to the send line") {
  FreshWindow w;
  AppendOutput("abc\r\ndef");
  SetWindowTextA(app.sendLine, "");
  const std::string transcript = Transcript();

  SUBCASE("a character") {
    SetFocus(app.outputPane);
    Char(app.outputPane, 'x');
    CHECK(GetFocus() == app.sendLine);
  }
  SUBCASE("a character with Alt") {
    SetFocus(app.outputPane);
    SendMessageA(app.outputPane, WM_SYSCHAR, 'x', 0x20000001);
    CHECK(GetFocus() == app.sendLine);
  }
  SUBCASE("Enter is dropped; its release moves the focus") {
    SetFocus(app.outputPane);
    Char(app.outputPane, '\r');
    CHECK(GetFocus() == app.outputPane);
    KeyUp(app.outputPane, VK_RETURN);
    CHECK(GetFocus() == app.sendLine);
  }
  SUBCASE("navigation keys act on the pane, their release moves the focus") {
    SetFocus(app.outputPane);
    SendMessageA(app.outputPane, EM_SETSEL, -2, -2);
    const auto atEnd = Selection(app.outputPane);
    SendMessageA(app.outputPane, WM_KEYDOWN, VK_HOME, 1);
    CHECK(Selection(app.outputPane).first < atEnd.first);
    CHECK(GetFocus() == app.outputPane);
    KeyUp(app.outputPane, VK_HOME);
    CHECK(GetFocus() == app.sendLine);
  }
  SUBCASE("a paste") {
    SetClipboardText("PASTED");
    SetFocus(app.outputPane);
    SendMessageA(app.outputPane, EM_SETSEL, -2, -2);
    CHECK(SendMessageA(app.outputPane, WM_PASTE, 0, 0) == 0);
    CHECK(GetFocus() == app.sendLine);
    // The same clipboard does paste into the send line while idle.
    SendMessageA(app.sendLine, WM_PASTE, 0, 0);
    CHECK(WindowText(app.sendLine) == "PASTED");
  }
  SUBCASE("keys and messages that would cut, delete or paste leave the record alone") {
    SetClipboardText("PASTED");
    SetFocus(app.outputPane);
    SendMessageA(app.outputPane, EM_SETSEL, 0, -1);
    SendMessageA(app.outputPane, WM_KEYDOWN, VK_DELETE, 1);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(app.outputPane, WM_KEYDOWN, VK_INSERT, 1);
    SendMessageA(app.outputPane, WM_KEYDOWN, VK_DELETE, 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    SendMessageA(app.outputPane, WM_CUT, 0, 0);
    SendMessageA(app.outputPane, WM_CLEAR, 0, 0);
    CHECK(ClipboardText() == "PASTED");
  }
  CHECK(Transcript() == transcript);
  CHECK(WindowText(app.sendLine).find('x') == std::string::npos);
}

TEST_CASE("keys released in the send line do nothing but Enter and F1") {
  FreshWindow w;
  CommandSpy spy(true);
  SetWindowTextA(app.sendLine, ":udp");
  for (WPARAM key : {WPARAM('A'), WPARAM(VK_SPACE), WPARAM(VK_F2), WPARAM(VK_TAB)}) KeyUp(app.sendLine, key);
  CHECK(WindowText(app.sendLine) == ":udp");
  CHECK(TranscriptTail().empty());
  CHECK(spy.Count(kSendButtonId) == 0);
  CHECK(app.useTcp == 1);
}
