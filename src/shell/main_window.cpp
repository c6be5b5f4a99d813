// MainWindowProc: one flat switch; every case hands over to a named handler.
#include "shell/main_window.h"

#include <commctrl.h>

#include "base/status_bar.h"
#include "commands/command_line.h"
#include "commands/input_fields.h"
#include "rules/texts.h"
#include "session/connection.h"
#include "session/session_runner.h"
#include "session/transfer.h"
#include "settings/settings_file.h"
#include "shell/controls.h"
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
  RefreshConnectionView();
  StartWinsock();
  RegisterToolTips();
  SubclassControls();
  SetStatusText(kStatusActivity, kStatusStartup);
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

// Idle, the send line is the command line, and this is its Enter, whatever the
// notification; with a session open, the send command.
void OnSendButton(WPARAM wParam) {
  SetFocus(app.controls.sendLine);
  if (app.session.connected())
    OnSendCommand(wParam);
  else
    RunCommandLine();
}

LRESULT OnNotify(const NMHDR* header) {
  if (header->hwndFrom == app.controls.statusBar && header->code == static_cast<UINT>(NM_CLICK))
    OnStatusBarClick(static_cast<int>(reinterpret_cast<const NMMOUSE*>(header)->dwItemSpec));
  return 0;
}

LRESULT OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case kConnectButtonId: OnConnectCommand(wParam); break;
    case kDisconnectButtonId: OnDisconnectCommand(wParam); break;
    case kSendButtonId: OnSendButton(wParam); break;
    case kClearButtonId:
    case kOutputPaneId:
      if (code == BN_CLICKED || code == EN_ERRSPACE || code == EN_MAXTEXT) ResetTranscript();
      break;
    case kModeAsciiId:
    case kModeAdvancedId:
    case kModeBinaryId: SwitchMode(id); break;
    default: break;
  }
  return 0;
}

LRESULT OnUserRequest(WPARAM wParam, LPARAM lParam) {
  if (wParam == kReportRequestTag) OnReportRequest(lParam);
  return 0;
}

// What the user does comes after what the network delivered before it. The pane's
// own notifications are no user action: they come from inside an append.
bool IsUserAction(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      return (id >= kConnectButtonId && id <= kClearButtonId) ||
             (id >= kModeAsciiId && id <= kModeBinaryId);
    }
    case WM_KEYUP:
    case WM_SYSCOMMAND:
    case WM_USER:
    case WM_NOTIFY: return true;
    default: return false;
  }
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam == SC_MAXIMIZE) {
    MoveToDefaultRectangle();
  } else if (LOWORD(wParam) == kAboutCommand) {
    AboutRequest();
  }
  return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnKeyUp(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam == VK_F1) HelpRequest();
  return DefWindowProcA(window, WM_KEYUP, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsUserAction(message, wParam)) ApplyDelivered();
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
