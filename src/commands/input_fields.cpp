// There is no dialog manager: Enter, Tab and F1 mean only what these procedures make of them.
#include "commands/input_fields.h"

#include "commands/command_table.h"
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

LRESULT OnEntryFieldChar(const Controls& controls, HWND field, WPARAM wParam, LPARAM lParam) {
  if (wParam == kCarriageReturn) return 0;
  if (wParam == kTab) {
    SetFocus(GetFocus() == controls.hostField ? controls.portField : controls.sendLine);
    return 0;
  }
  return CallWindowProcA(controls.entryFieldPrevProc, field, WM_CHAR, wParam, lParam);
}

LRESULT OnEntryFieldKeyUp(const Controls& controls, HWND field, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1)
    RunCommand(Command::Help);
  else if (wParam == VK_RETURN)
    RunCommand(Command::Connect);
  return CallWindowProcA(controls.entryFieldPrevProc, field, WM_KEYUP, wParam, lParam);
}

// --- send line ---

// The hex entry rules pass everything on unchanged unless a Binary session is open.
LRESULT OnSendLineChar(HWND line, WPARAM wParam, LPARAM lParam) {
  if (wParam == kCarriageReturn || wParam == kTab) return 0;
  return HexEntryProc(line, WM_CHAR, wParam, lParam);
}

// The release, not the press, runs Enter: holding the key runs it once. A half byte
// waits for its partner.
LRESULT OnSendLineKeyUp(WPARAM wParam) {
  if (wParam == VK_RETURN) {
    if (!LineWaitsForDigit()) RunCommand(Command::Send);
  } else if (wParam == VK_F1) {
    RunCommand(Command::Help);
  }
  return 0;
}

// --- output pane ---

// Typing into the transcript is never wanted: the character is dropped and the
// focus moves to where typing belongs.
LRESULT OnOutputPaneChar(const Controls& controls, WPARAM wParam) {
  if (wParam != kCarriageReturn) SetFocus(controls.sendLine);
  return 0;
}

LRESULT OnOutputPaneKeyUp(const Controls& controls, HWND pane, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1)
    RunCommand(Command::Help);
  else
    SetFocus(controls.sendLine);
  return CallWindowProcA(controls.outputPanePrevProc, pane, WM_KEYUP, wParam, lParam);
}

// The transcript is a record: keys that would cut, delete or paste are dropped like
// typed characters; navigation and Ctrl+Insert (copy) still act on the pane.
LRESULT OnOutputPaneKeyDown(const Controls& controls, HWND pane, WPARAM wParam, LPARAM lParam) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (wParam == VK_DELETE || (wParam == VK_INSERT && shift)) return 0;
  return CallWindowProcA(controls.outputPanePrevProc, pane, WM_KEYDOWN, wParam, lParam);
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

LRESULT OnOutputPaneCommand(const Controls& controls, HWND pane, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id >= kMenuHelpId && id <= kMenuCopyId) {
    OnOutputMenuCommand(id);
    return 0;
  }
  return CallWindowProcA(controls.outputPanePrevProc, pane, WM_COMMAND, wParam, lParam);
}

// The menu belongs to the pane and goes with it.
LRESULT OnOutputPaneDestroyed(Controls& controls, HWND pane, WPARAM wParam, LPARAM lParam) {
  if (controls.outputMenu) DestroyMenu(controls.outputMenu);
  controls.outputMenu = nullptr;
  return CallWindowProcA(controls.outputPanePrevProc, pane, WM_NCDESTROY, wParam, lParam);
}

}  // namespace

void SubclassControls() {
  const Controls& controls = app.controls;
  Subclass(controls.outputPane, OutputPaneProc);
  Subclass(controls.sendLine, SendLineProc);
  Subclass(controls.hostField, EntryFieldProc);
  Subclass(controls.portField, EntryFieldProc);
}

LRESULT CALLBACK EntryFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Controls& controls = app.controls;
  switch (message) {
    case kSubclassHandshake: controls.entryFieldPrevProc = FromHandshake(wParam); return 0;
    case WM_CHAR: return OnEntryFieldChar(controls, hwnd, wParam, lParam);
    case WM_KEYUP: return OnEntryFieldKeyUp(controls, hwnd, wParam, lParam);
    default: return CallWindowProcA(controls.entryFieldPrevProc, hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK SendLineProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Controls& controls = app.controls;
  switch (message) {
    case kSubclassHandshake: controls.sendLinePrevProc = FromHandshake(wParam); return 0;
    case WM_CHAR: return OnSendLineChar(hwnd, wParam, lParam);
    case WM_KEYDOWN:
    case WM_PASTE: return HexEntryProc(hwnd, message, wParam, lParam);
    case WM_KEYUP: return OnSendLineKeyUp(wParam);
    default: return CallWindowProcA(controls.sendLinePrevProc, hwnd, message, wParam, lParam);
  }
}

LRESULT CALLBACK OutputPaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Controls& controls = app.controls;
  switch (message) {
    case kSubclassHandshake:
      controls.outputPanePrevProc = FromHandshake(wParam);
      controls.outputMenu = CreateOutputMenu();
      return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_PASTE: return OnOutputPaneChar(controls, wParam);
    case WM_KEYUP: return OnOutputPaneKeyUp(controls, hwnd, wParam, lParam);
    case WM_KEYDOWN: return OnOutputPaneKeyDown(controls, hwnd, wParam, lParam);
    case WM_CUT:
    case WM_CLEAR: return 0;
    case WM_RBUTTONUP: ShowOutputMenu(lParam); return 0;
    case WM_CONTEXTMENU: OnOutputPaneContextMenu(hwnd, lParam); return 0;
    case WM_COMMAND: return OnOutputPaneCommand(controls, hwnd, wParam, lParam);
    case WM_NCDESTROY: return OnOutputPaneDestroyed(controls, hwnd, wParam, lParam);
    default: return CallWindowProcA(controls.outputPanePrevProc, hwnd, message, wParam, lParam);
  }
}
