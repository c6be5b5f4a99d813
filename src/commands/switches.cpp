#include "commands/switches.h"

#include "base/app_state.h"
#include "session/session_runner.h"
#include "view/output_pane.h"
#include "view/status_parts.h"

void SwitchProtocol(bool tcp) {
  app.choices.useTcp = tcp;
  AppendOutput(tcp ? "\r\n--- Using TCP/IP now!\r\n" : "\r\n--- Using UDP/IP now!\r\n");
  ShowProtocol(tcp);
}

void SwitchMode(TransferMode mode) {
  // An open session reads and sends in the new mode from now on.
  RunSession(ev::ModeSwitched{mode});
  AppendOutput(ModeRowOf(mode).switchLine);
  ShowTransferMode(mode);
}
