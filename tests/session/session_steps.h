// Steps and checks shared by the session tests.
#pragma once

#include "support/harness.h"

#include <initializer_list>
#include <string>

// Enabled state of host, port, connect, disconnect, send, clear, send line and
// output pane, as eight '1'/'0' characters.
inline std::string EnabledStates() {
  std::string states;
  for (HWND control : {app.controls.hostField, app.controls.portField, app.controls.connectButton,
                       app.controls.disconnectButton, app.controls.sendButton,
                       app.controls.clearButton, app.controls.sendLine, app.controls.outputPane})
    states += IsWindowEnabled(control) ? '1' : '0';
  return states;
}
constexpr char kIdleStates[] = "11101111";
constexpr char kConnectingStates[] = "00000111";
constexpr char kConnectedStates[] = "00011111";

inline void SetTarget(const std::string& host, const std::string& port) {
  SetWindowTextA(app.controls.hostField, host.c_str());
  SetWindowTextA(app.controls.portField, port.c_str());
}

// What Enter in the target fields sends.
inline void Connect() { SendMessageA(app.controls.mainWindow, WM_COMMAND, kConnectButtonId, 0); }
inline void Disconnect() {
  SendMessageA(app.controls.mainWindow, WM_COMMAND, kDisconnectButtonId, 0);
}

inline bool AttemptEnded(int timeoutMs = 5000) {
  return PumpUntil([] { return !app.session.connecting(); }, timeoutMs);
}

inline std::string ConnectingLine(const std::string& host, int port) {
  return "\r\n=== Connecting to " + host + ":" + std::to_string(port) + " ";
}

// The text with the run of progress dots right after its first connecting line
// taken out; dotCount receives how many there were.
inline std::string WithoutDots(const std::string& text, int* dotCount = nullptr) {
  const size_t line = text.find("\r\n=== Connecting to ");
  int dots = 0;
  std::string result = text;
  if (line != std::string::npos) {
    const size_t end = text.find(' ', text.find(':', line));
    if (end != std::string::npos) {
      size_t next = end + 1;
      while (next < text.size() && text[next] == '.') ++next;
      dots = static_cast<int>(next - end - 1);
      result.erase(end + 1, static_cast<size_t>(dots));
    }
  }
  if (dotCount) *dotCount = dots;
  return result;
}

inline void CheckIdleView() {
  CHECK(WindowText(app.controls.mainWindow) == "Telvane - Kestrelink");
  CHECK(StatusPart(1) == "Not connected");
  CHECK(StatusPart(0) == "Ready");
  CHECK(EnabledStates() == kIdleStates);
}
