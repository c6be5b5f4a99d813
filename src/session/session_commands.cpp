#include "session/session_commands.h"

#include "base/app_state.h"
#include "session/session_runner.h"

namespace {
std::string FieldText(HWND field, int size) {
  std::string text(static_cast<size_t>(size), '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(field, &text[0], size)));
  return text;
}
}  // namespace

void ConnectCommand() {
  const Controls& controls = app.controls;
  RunSession(ev::Connect{FieldText(controls.hostField, kHostTextSize),
                         FieldText(controls.portField, kPortTextSize), app.choices.useTcp});
}

void DisconnectCommand() {
  SetFocus(app.controls.sendLine);
  RunSession(ev::Disconnect{});
}

void SendCommand() { RunSession(ev::Send{FieldText(app.controls.sendLine, kSendLineSize)}); }
