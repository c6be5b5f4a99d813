#include "rules/texts.h"
#include "settings/settings_file.h"
#include "shell/controls.h"
#include "shell/main_window.h"

namespace {
constexpr int kIconId = 500;
}

HWND CreateMainWindow(HINSTANCE instance, int showState) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
  windowClass.lpszClassName = kAppTitle;
  // A second window of the same process finds the class already registered.
  if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;

  app.controls.mainWindow = CreateWindowExA(0, kAppTitle, kAppTitle, WS_OVERLAPPEDWINDOW, 0, 0, 0,
                                            0, nullptr, nullptr, instance, nullptr);
  if (!app.controls.mainWindow) return nullptr;
  RestoreWindowPlacement();
  ScrollEntryFieldsHome();
  ShowWindow(app.controls.mainWindow, showState);
  UpdateWindow(app.controls.mainWindow);
  return app.controls.mainWindow;
}

int RunMessageLoop(MessageSource getMessage) {
  MSG message = {};
  for (;;) {
    const BOOL got = getMessage(&message, nullptr, 0, 0);
    // A failure would come again at once, with the last message handled over and over.
    if (got == -1) return kMessageLoopFailed;
    if (got == 0) return static_cast<int>(message.wParam);
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
  // Without a window no WM_QUIT would ever come: leave instead of looping forever.
  if (!CreateMainWindow(instance, showState)) return 0;
  return RunMessageLoop();
}
