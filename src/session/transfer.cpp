#include "session/transfer.h"

#include <cstdlib>

#include "app/main_window.h"
#include "app/texts.h"
#include "codec/output_pane.h"
#include "session/counters.h"

void OnSendCommand(WPARAM) {}
void OnSocketRead(SOCKET, int) {}

// Minimal read so that a closing peer's last bytes can be shown; the full
// receive path replaces it.
void ReceivePending() {
  SetStatusText(kStatusActivity, kStatusReceiving);
  u_long pending = 0;
  if (ioctlsocket(app.sessionSocket, FIONREAD, &pending) != 0) pending = 0;
  char* buffer = static_cast<char*>(std::calloc(pending + 2, 1));
  const int received = buffer ? recv(app.sessionSocket, buffer, static_cast<int>(pending), 0) : -1;
  if (received > 0) {
    app.sessionBytesIn += received;
    app.totalBytesReceived += received;
    AppendOutput(buffer, received);
  }
  std::free(buffer);
  ShowSessionBytesIn();
  SetStatusText(kStatusActivity, kStatusReady);
}
