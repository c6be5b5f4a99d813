#include "session/transfer.h"

#include "base/status_bar.h"
#include "rules/binary_mode.h"
#include "rules/escapes.h"
#include "rules/session_texts.h"
#include "rules/texts.h"
#include "session/session_runner.h"
#include "view/connection_view.h"
#include "view/output_pane.h"

namespace {
constexpr char kAsciiLineFormat[] = "%s\r\n";
}

int EncodeSendLine(TransferMode mode, const char* line, unsigned char* data) {
  switch (mode) {
    case TransferMode::Ascii:
      return wsprintfA(reinterpret_cast<char*>(data), kAsciiLineFormat, line);
    case TransferMode::Advanced: return DecodeEscapes(data, line);
    case TransferMode::Binary: return ParseHexLine(line, data);
  }
  return -1;
}

void OnSendCommand(WPARAM wParam) {
  if (HIWORD(wParam) != 0 || !app.session.connected()) return;
  if (app.session.outgoing().inFlight) return;  // one line at a time; the next waits
  SetStatusText(kStatusActivity, kStatusSending);
  char line[kSendLineSize] = {};
  GetWindowTextA(app.controls.sendLine, line, sizeof line);
  if (line[0] == '\0') {
    RefreshConnectionView();
    return;
  }
  const TransferMode mode = CurrentTransferMode();
  unsigned char data[kSendBufferSize] = {};
  const int count = EncodeSendLine(mode, line, data);
  if (count < 0) {
    // The line stays, to be corrected.
    AppendOutput(mode == TransferMode::Binary ? kHexErrorLine : kEscapeErrorLine);
    RefreshConnectionView();
    return;
  }
  Event send;
  send.kind = EventKind::SendLine;
  send.mode = mode;
  send.text = line;
  send.data.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(count));
  RunSession(send);
}
