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

void CreateModeMenu() {
  app.controls.modeMenu = CreatePopupMenu();
  for (const TransferModeRow& row : kTransferModes)
    AppendMenuA(app.controls.modeMenu, MF_STRING, row.menuId, row.menuLabel);
}

LRESULT OnCreate(HWND window) {
  app.controls.mainWindow = window;
  CreateControls(window);  // font, units, common controls, the eight controls, status bar
  ResetTranscript();       // the banner
  LoadSettings();
  CreateSchemeBrush();
  SelectAllText(app.controls.portField);
  SetFocus(app.controls.hostField);
  SelectAllText(app.controls.hostField);
  ShowConnectionView(Phase::Idle);
  StartWinsock();
  RegisterToolTips();
  SubclassControls();
  ShowActivity(kStatusStartup);
  CreateModeMenu();
  return 0;
}

LRESULT OnDestroy() {
  StopWinsock();  // closes an open session silently, then WSACleanup
  DeleteObject(app.controls.controlFont);
  if (app.controls.controlFontFile) RemoveFontMemResourceEx(app.controls.controlFontFile);
  DeleteSchemeBrush();
  SaveSettings();
  DestroyMenu(app.controls.modeMenu);
  PostQuitMessage(0);
  return 0;
}

LRESULT OnNotify(const NMHDR* header) {
  if (header->hwndFrom == app.controls.statusBar && header->code == static_cast<UINT>(NM_CLICK))
    OnStatusBarClick(static_cast<int>(reinterpret_cast<const NMMOUSE*>(header)->dwItemSpec));
  return 0;
}

// The doors other programs may use too: each message turns into its command here.

// Buttons, the pane's notifications and the mode menu's items. A button's command
// needs its click; idle, the send button is Enter in the command line, whatever the
// notification.
LRESULT OnCommand(WPARAM wParam) {
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
        SetFocus(app.controls.sendLine);
      break;
    case kSendButtonId:
      if (clicked || !app.session.connected())
        RunCommand(Command::Send);
      else
        SetFocus(app.controls.sendLine);
      break;
    case kClearButtonId:
      if (clicked || code == EN_ERRSPACE || code == EN_MAXTEXT) RunCommand(Command::Clear);
      break;
    case kOutputPaneId:  // the pane's own: full, or out of memory
      if (code == EN_ERRSPACE || code == EN_MAXTEXT) ResetTranscript();
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
    MoveToDefaultRectangle();
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
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy();
    case WM_SIZE: LayoutControls(lParam); return 0;
    case WM_GETMINMAXINFO: SetMinimumTrackSize(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_KEYUP: return OnKeyUp(window, wParam, lParam);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_TIMER: OnSessionTimer(wParam); return 0;
    case WM_CTLCOLOREDIT:
      if (reinterpret_cast<HWND>(lParam) == app.controls.outputPane && app.controls.outputPane)
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
