// The protocol and mode switches shared by commands, the mode menu and status-bar clicks.
// Neither compares with the current value: the message and status text are written anyway.
#include "base/status_bar.h"
#include "commands/command_line.h"
#include "rules/texts.h"
#include "view/output_pane.h"
#include "view/status_parts.h"

void SwitchProtocol(bool tcp) {
  app.choices.useTcp = tcp ? 1 : 0;
  AppendOutput(tcp ? "\r\n--- Using TCP/IP now!\r\n" : "\r\n--- Using UDP/IP now!\r\n");
  ShowProtocol();
}

void SwitchMode(int menuId) {
  const TransferModeRow* row = ModeRowOfMenuId(menuId);
  if (!row) return;
  SetTransferMode(row->mode);
  AppendOutput(row->switchLine);
  ShowTransferMode();
}
