// MainWindowProc: one flat switch; every case hands over to a named handler.
#include "shell/main_window.h"

#include <commctrl.h>

#include "commands/command_table.h"
#include "commands/input_fields.h"
#include "commands/reports.h"
#include "session/connection.h"
#include "settings/settings_file.h"
#include "shell/controls.h"
#include "text/texts.h"
#include "view/connection_view.h"
#include "view/output_pane.h"
#include "view/scheme_colors.h"

namespace {

void SelectAllText(HWND edit) {
  LRESULT length = SendMessageA(edit, EM_LINELENGTH, 0, 0);
  SendMessageA(edit, EM_SETSEL, 0, length);
}

HMENU CreateModeMenu() {
  HMENU menu = CreatePopupMenu();
  for (const TransferModeRow& row : kTransferModes)
    AppendMenuA(menu, MF_STRING, row.menuId, row.menuLabel);
  return menu;
}

LRESULT OnCreate(HWND window, Controls& controls) {
  controls.mainWindow = window;
  CreateControls(window, controls);  // font, common controls, the eight controls, status bar
  ResetTranscript();                 // the banner
  LoadSettings();
  CreateSchemeBrush();
  SelectAllText(controls.portField);
  SetFocus(controls.hostField);
  SelectAllText(controls.hostField);
  ShowConnectionView(Phase::Idle);
  StartWinsock();
  RegisterToolTips(controls);
  SubclassControls();
  ShowActivity(kStatusStartup);
  controls.modeMenu = CreateModeMenu();
  return 0;
}

LRESULT OnDestroy(const Controls& controls) {
  StopWinsock();  // closes an open session silently, then WSACleanup
  DeleteObject(controls.controlFont);
  if (controls.controlFontFile) RemoveFontMemResourceEx(controls.controlFontFile);
  DeleteSchemeBrush();
  SaveSettings();
  DestroyMenu(controls.modeMenu);
  PostQuitMessage(0);
  return 0;
}

LRESULT OnNotify(HWND statusBar, const NMHDR* header) {
  if (header->hwndFrom == statusBar && header->code == static_cast<UINT>(NM_CLICK))
    OnStatusBarClick(static_cast<int>(reinterpret_cast<const NMMOUSE*>(header)->dwItemSpec));
  return 0;
}

// The doors other programs may use too: each message turns into its command here.

// Buttons, the pane's notifications and the mode menu's items. A button's command
// needs its click; idle, the send button is Enter in the command line, whatever the
// notification.
LRESULT OnCommand(HWND sendLine, WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  const bool clicked = code == BN_CLICKED;
  switch (id) {
    case kConnectButtonId:
      if (clicked) RunCommand(Command::Connect);
      break;
    case kDisconnectButtonId:
      if (clicked)
        RunCommand(Command::Disconnect);
      else
        SetFocus(sendLine);
      break;
    case kSendButtonId:
      if (clicked || !app.session.connected())
        RunCommand(Command::Send);
      else
        SetFocus(sendLine);
      break;
    case kClearButtonId:
      if (clicked || code == EN_ERRSPACE || code == EN_MAXTEXT) RunCommand(Command::Clear);
      break;
    case kOutputPaneId:
      // The pane's full and out-of-memory notices come from inside an append, which
      // must not first apply what waits behind it.
      if (code == EN_ERRSPACE || code == EN_MAXTEXT)
        ResetTranscript();
      else if (clicked)
        RunCommand(Command::Clear);
      break;
    case kModeAsciiId:
    case kModeAdvancedId:
    case kModeBinaryId: RunCommand(CommandOfMode(ModeRowOfMenuId(id)->mode)); break;
    default: break;
  }
  return 0;
}

LRESULT OnUserRequest(WPARAM wParam, LPARAM lParam) {
  if (wParam != kReportRequestTag) return 0;
  if (lParam == kWinsockReportArg) RunCommand(Command::WinsockReport);
  if (lParam == kStatisticsReportArg) RunCommand(Command::StatisticsReport);
  return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam == SC_MAXIMIZE) {
    MoveToDefaultRectangle(window);
  } else if (LOWORD(wParam) == kAboutCommand) {
    RunCommand(Command::About);
  }
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnKeyUp(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1) RunCommand(Command::Help);
  return DefWindowProcA(window, WM_KEYUP, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Controls& controls = app.controls;
  switch (message) {
    case WM_CREATE: return OnCreate(window, controls);
    case WM_DESTROY: return OnDestroy(controls);
    case WM_SIZE: LayoutControls(controls, app.layout, lParam); return 0;
    case WM_GETMINMAXINFO: SetMinimumTrackSize(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_NOTIFY: return OnNotify(controls.statusBar, reinterpret_cast<const NMHDR*>(lParam));
    case WM_KEYUP: return OnKeyUp(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(controls.sendLine, wParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_TIMER: OnSessionTimer(wParam); return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == controls.outputPane && controls.outputPane)
        return reinterpret_cast<LRESULT>(OnOutputPaneColors(reinterpret_cast<HDC>(wParam)));
      break;
    case WM_USER: return OnUserRequest(wParam, lParam);
    case kSocketNotify:
      OnSocketNotify(static_cast<SOCKET>(wParam), WSAGETSELECTEVENT(lParam),
                     WSAGETSELECTERROR(lParam));
      return 0;
    case kLookupDone:
      OnLookupDone(reinterpret_cast<HANDLE>(wParam), WSAGETASYNCERROR(lParam));
      return 0;
    case kSessionStep: OnSessionStep(); return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
