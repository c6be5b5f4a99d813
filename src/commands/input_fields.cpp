// There is no dialog manager: Enter, Tab and F1 mean only what these procedures make of them.
#include "commands/input_fields.h"

#include "base/requests.h"
#include "commands/command_line.h"
#include "commands/hex_entry.h"
#include "commands/menus.h"

namespace {

constexpr WPARAM kCarriageReturn = 0x0D;
constexpr WPARAM kTab = 0x09;

void Subclass(HWND control, WNDPROC procedure) {
  const LONG_PTR previous =
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  SendMessageA(control, kSubclassHandshake, static_cast<WPARAM>(previous), 0);
}

WNDPROC FromHandshake(WPARAM wParam) { return reinterpret_cast<WNDPROC>(wParam); }

// --- host and port fields ---

LRESULT OnEntryFieldChar(HWND field, WPARAM wParam, LPARAM lParam) {
  if (wParam == kCarriageReturn) return 0;
  if (wParam == kTab) {
    SetFocus(GetFocus() == app.controls.hostField ? app.controls.portField : app.controls.sendLine);
    return 0;
  }
  return CallWindowProcA(app.controls.entryFieldPrevProc, field, WM_CHAR, wParam, lParam);
}

LRESULT OnEntryFieldKeyUp(HWND field, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1)
    RequestHelp();
  else if (wParam == VK_RETURN)
    RequestConnect();
  return CallWindowProcA(app.controls.entryFieldPrevProc, field, WM_KEYUP, wParam, lParam);
}

// --- send line ---

// The hex entry rules pass everything on unchanged unless a Binary session is open.
LRESULT OnSendLineChar(HWND line, WPARAM wParam, LPARAM lParam) {
  if (wParam == kCarriageReturn || wParam == kTab) return 0;
  return HexEntryProc(line, WM_CHAR, wParam, lParam);
}

// The release, not the press, runs Enter: holding the key runs it once.
LRESULT OnSendLineKeyUp(WPARAM wParam) {
  if (wParam == VK_RETURN) {
    if (!app.session.connected())
      RunCommandLine();
    else if (IsWindowEnabled(app.controls.sendButton))
      RequestSend();
  } else if (wParam == VK_F1) {
    RequestHelp();
  }
  return 0;
}

// --- output pane ---

// Typing into the transcript is never wanted: the character is dropped and the
// focus moves to where typing belongs.
LRESULT OnOutputPaneChar(WPARAM wParam) {
  if (wParam != kCarriageReturn) SetFocus(app.controls.sendLine);
  return 0;
}

LRESULT OnOutputPaneKeyUp(HWND pane, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1)
    RequestHelp();
  else
    SetFocus(app.controls.sendLine);
  return CallWindowProcA(app.controls.outputPanePrevProc, pane, WM_KEYUP, wParam, lParam);
}

// The transcript is a record: keys that would cut, delete or paste are dropped like
// typed characters; navigation and Ctrl+Insert (copy) still act on the pane.
LRESULT OnOutputPaneKeyDown(HWND pane, WPARAM wParam, LPARAM lParam) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (wParam == VK_DELETE || (wParam == VK_INSERT && shift)) return 0;
  return CallWindowProcA(app.controls.outputPanePrevProc, pane, WM_KEYDOWN, wParam, lParam);
}

// Shift+F10 and the menu key would otherwise bring up the control's own menu, which
// edits; show ours, at the pane's corner or where the system says.
void OnOutputPaneContextMenu(HWND pane, LPARAM lParam) {
  POINT at = {0, 0};
  if (lParam != -1) {
    at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ScreenToClient(pane, &at);
  }
  ShowOutputMenu(MAKELPARAM(at.x, at.y));
}

LRESULT OnOutputPaneCommand(HWND pane, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id >= kMenuHelpId && id <= kMenuCopyId) {
    OnOutputMenuCommand(id);
    return 0;
  }
  return CallWindowProcA(app.controls.outputPanePrevProc, pane, WM_COMMAND, wParam, lParam);
}

// The menu belongs to the pane and goes with it.
LRESULT OnOutputPaneDestroyed(HWND pane, WPARAM wParam, LPARAM lParam) {
  if (app.controls.outputMenu) DestroyMenu(app.controls.outputMenu);
  app.controls.outputMenu = nullptr;
  return CallWindowProcA(app.controls.outputPanePrevProc, pane, WM_NCDESTROY, wParam, lParam);
}

}  // namespace

void SubclassControls() {
  Subclass(app.controls.outputPane, OutputPaneProc);
  Subclass(app.controls.sendLine, SendLineProc);
  Subclass(app.controls.hostField, EntryFieldProc);
  Subclass(app.controls.portField, EntryFieldProc);
}

LRESULT CALLBACK EntryFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSubclassHandshake: app.controls.entryFieldPrevProc = FromHandshake(wParam); return 0;
    case WM_CHAR: return OnEntryFieldChar(hwnd, wParam, lParam);
    case WM_KEYUP: return OnEntryFieldKeyUp(hwnd, wParam, lParam);
    default: return CallWindowProcA(app.controls.entryFieldPrevProc, hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK SendLineProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSubclassHandshake: app.controls.sendLinePrevProc = FromHandshake(wParam); return 0;
    case WM_CHAR: return OnSendLineChar(hwnd, wParam, lParam);
    case WM_KEYDOWN:
    case WM_PASTE: return HexEntryProc(hwnd, message, wParam, lParam);
    case WM_KEYUP: return OnSendLineKeyUp(wParam);
    default: return CallWindowProcA(app.controls.sendLinePrevProc, hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK OutputPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kSubclassHandshake:
      app.controls.outputPanePrevProc = FromHandshake(wParam);
      app.controls.outputMenu = CreateOutputMenu();
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_PASTE: return OnOutputPaneChar(wParam);
    case WM_KEYUP: return OnOutputPaneKeyUp(hwnd, wParam, lParam);
    case WM_KEYDOWN: return OnOutputPaneKeyDown(hwnd, wParam, lParam);
    case WM_CUT:
    case WM_CLEAR: return 0;
    case WM_RBUTTONUP: ShowOutputMenu(lParam); return 0;
    case WM_CONTEXTMENU: OnOutputPaneContextMenu(hwnd, lParam); return 0;
    case WM_COMMAND: return OnOutputPaneCommand(hwnd, wParam, lParam);
    case WM_NCDESTROY: return OnOutputPaneDestroyed(hwnd, wParam, lParam);
    default: return CallWindowProcA(app.controls.outputPanePrevProc, hwnd, message, wParam, lParam);
  }
}
