#include "view/connection_view.h"

#include "base/app_state.h"
#include "base/status_bar.h"
#include "parse/well_known_ports.h"
#include "text/binary_mode.h"
#include "text/limits.h"
#include "text/texts.h"
#include "view/output_pane.h"

namespace {

// Title and status part 1 of an open session.
void DescribeSession(const char* host, const char* port, char* title, char* status) {
  if (const char* service = ServiceNameForPort(port)) {
    wsprintfA(title, "Telvane - %s:%s (%s)", host, port, service);
    wsprintfA(status, "Connected (%s)", service);
  } else {
    wsprintfA(title, "Telvane - %s:%s", host, port);
    lstrcpyA(status, "Connected");
  }
}

}  // namespace

void ShowActivity(const char* text) { SetStatusText(kStatusActivity, text); }

void ShowConnectionView(Phase phase, const std::string& host, const std::string& port,
                        TransferMode mode) {
  switch (phase) {
    case Phase::Opening:
    case Phase::Resolving:
    case Phase::Connecting:
      // Status part 1 keeps what it said: the attempt is no connection yet.
      SetWindowTextA(app.controls.mainWindow, kConnectingTitle);
      ShowActivity(kStatusConnecting);
      ApplyControlStates(ControlPhase::Connecting);
      return;
    case Phase::Idle:
    case Phase::Connected: break;
  }
  const bool connected = phase == Phase::Connected;
  char title[160];  // the longest title has 95 characters
  char status[32];
  if (connected) {
    // Cut as the fields would hold them.
    char hostText[kHostTextSize];
    char portText[kPortTextSize];
    lstrcpynA(hostText, host.c_str(), sizeof hostText);
    lstrcpynA(portText, port.c_str(), sizeof portText);
    DescribeSession(hostText, portText, title, status);
  } else {
    lstrcpyA(title, kAppTitle);
    lstrcpyA(status, kStatusNotConnected);
  }
  SetWindowTextA(app.controls.mainWindow, title);
  ApplyControlStates(connected ? ControlPhase::Connected : ControlPhase::Idle);
  if (connected && mode == TransferMode::Binary) FollowHexLine();
  SetStatusText(kStatusConnection, status);
  ShowActivity(kStatusReady);
}

EnabledControls DecideEnabledControls(ControlPhase phase) {
  switch (phase) {
    // Idle, the send button runs the command line.
    case ControlPhase::Idle: return {true, true, true, false, true};
    // Nothing starts or ends an attempt until it has an outcome.
    case ControlPhase::Connecting: return {false, false, false, false, false};
    // The fields keep the target as typed while its session is open.
    case ControlPhase::Connected: return {false, false, false, true, true};
    case ControlPhase::HalfByte: return {false, false, false, true, false};
  }
  return {};
}

void ApplyControlStates(ControlPhase phase) {
  const EnabledControls enabled = DecideEnabledControls(phase);
  EnableWindow(app.controls.hostField, enabled.host);
  EnableWindow(app.controls.portField, enabled.port);
  EnableWindow(app.controls.connectButton, enabled.connect);
  EnableWindow(app.controls.disconnectButton, enabled.disconnect);
  EnableWindow(app.controls.sendButton, enabled.send);
}

bool SendLineHoldsWholeBytes() {
  char text[kSendLineSize] = {};
  GetWindowTextA(app.controls.sendLine, text, kSendLineSize);
  // Letters and digits count as the code page has them: the line can hold any text
  // typed before the switch to Binary.
  return CountHexDigits(text, IsAnsiAlphaNumeric) % 2 == 0;
}

void FollowHexLine() {
  ApplyControlStates(SendLineHoldsWholeBytes() ? ControlPhase::Connected : ControlPhase::HalfByte);
}
