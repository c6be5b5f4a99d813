#include "session/connection_view.h"

#include "app/app_state.h"
#include "app/status_bar.h"
#include "app/texts.h"

namespace {

// Title and status part 1 of an open session. The fields are disabled while
// connected, so they still hold the target as it was typed.
void DescribeSession(char* title, char* status) {
  char host[kHostTextSize];
  char port[kPortTextSize];
  GetWindowTextA(app.hostField, host, sizeof host);
  GetWindowTextA(app.portField, port, sizeof port);
  if (const char* service = ServiceNameForPort(port)) {
    wsprintfA(title, "Telvane - %s:%s (%s)", host, port, service);
    wsprintfA(status, "Connected (%s)", service);
  } else {
    wsprintfA(title, "Telvane - %s:%s", host, port);
    lstrcpyA(status, "Connected");
  }
}

}  // namespace

void RefreshConnectionView() {
  const BOOL connected = app.connected ? TRUE : FALSE;
  char title[128];  // the longest title has 95 characters
  char status[32];
  if (connected) {
    DescribeSession(title, status);
  } else {
    lstrcpyA(title, kAppTitle);
    lstrcpyA(status, kStatusNotConnected);
  }
  SetWindowTextA(app.mainWindow, title);
  EnableWindow(app.disconnectButton, connected);
  EnableWindow(app.connectButton, !connected);
  EnableWindow(app.sendButton, TRUE);  // idle, it runs the command line
  EnableWindow(app.hostField, !connected);
  EnableWindow(app.portField, !connected);
  SetStatusText(kStatusConnection, status);
  SetStatusText(kStatusActivity, kStatusReady);
}
