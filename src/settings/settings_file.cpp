#include "settings/settings_file.h"

#include "app/app_state.h"
#include "app/controls.h"

void LoadSettings() {
  SetWindowTextA(app.hostField, "127.0.0.1");
  SetWindowTextA(app.portField, "80");
  app.useTcp = 1;
  SetTransferMode(TransferMode::Ascii);
}

void RestoreWindowPlacement() {
  const RECT r = DefaultWindowRectangle();
  MoveWindow(app.mainWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void SaveSettings() {}
void SetExecutablePathForTesting(const char*) {}
