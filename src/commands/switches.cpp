// The protocol and mode switches shared by commands, the mode menu and status-bar clicks.
// Neither compares with the current value: the message and status text are written anyway.
#include "app/status_bar.h"
#include "app/texts.h"
#include "codec/output_pane.h"
#include "commands/command_line.h"

void SwitchProtocol(bool tcp) {
  app.useTcp = tcp ? 1 : 0;
  AppendOutput(tcp ? "\r\n--- Using TCP/IP now!\r\n" : "\r\n--- Using UDP/IP now!\r\n");
  SetStatusText(kStatusProtocol, tcp ? kStatusTcp : kStatusUdp);
}

void SwitchMode(int menuId) {
  struct Row {
    int id;
    TransferMode mode;
    const char* message;
    const char* status;
  };
  static const Row kRows[] = {
      {kModeAsciiId, TransferMode::Ascii, "\r\n--- Switched to ASCII mode!\r\n", kStatusAscii},
      {kModeAdvancedId, TransferMode::Advanced, "\r\n--- Switched to advanced mode!\r\n",
       kStatusAdvanced},
      {kModeBinaryId, TransferMode::Binary, "\r\n--- Switched to binary mode!\r\n", kStatusBinary},
  };
  for (const Row& row : kRows) {
    if (row.id != menuId) continue;
    SetTransferMode(row.mode);
    AppendOutput(row.message);
    SetStatusText(kStatusMode, row.status);
    return;
  }
}
