#include "session/connection_view.h"

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/texts.h"

void RefreshConnectionView() {
  SetWindowTextA(app.mainWindow, kAppTitle);
  EnableWindow(app.disconnectButton, FALSE);
  EnableWindow(app.connectButton, TRUE);
  EnableWindow(app.sendButton, TRUE);
  EnableWindow(app.hostField, TRUE);
  EnableWindow(app.portField, TRUE);
  SetStatusText(kStatusConnection, kStatusNotConnected);
  SetStatusText(kStatusActivity, kStatusReady);
}

const char* ServiceNameForPort(const char*) { return nullptr; }
