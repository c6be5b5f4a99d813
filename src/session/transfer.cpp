#include "session/transfer.h"

#include "app/status_bar.h"
#include "app/texts.h"
#include "codec/binary_mode.h"
#include "codec/escapes.h"
#include "codec/output_pane.h"
#include "session/connection.h"
#include "session/connection_view.h"
#include "session/counters.h"
#include "session/receiving.h"

namespace {

constexpr char kEchoPrompt[] = "\r\n>>> ";
constexpr char kLineBreak[] = "\r\n";
constexpr char kAsciiLineFormat[] = "%s\r\n";
constexpr char kEscapeError[] =
    "\r\nERR: Can't send data because of unknown or invalid escape sequence!\r\n";
constexpr char kHexError[] = "\r\nERR: Can't send data because of invalid hex digits!\r\n";
constexpr char kSendError[] = "\r\nERR: Send Error #%i";
constexpr char kSendCutShort[] = "\r\nERR: Send Error #%i (only %i of %i bytes were sent)";

void CountSent(int sent) {
  app.sessionBytesOut += sent;
  app.totalBytesSent += sent;
  ShowSessionBytesOut();
}

void EchoSentLine(const OutgoingLine& out) {
  AppendOutput(kEchoPrompt);
  if (out.mode == TransferMode::Ascii) {
    AppendOutput(reinterpret_cast<const char*>(out.data));  // the line and its CR LF
  } else {
    AppendOutput(out.line);  // as typed: escapes or hex text, not the bytes
    AppendOutput(kLineBreak);
  }
}

void StopSendTimer() {
  if (app.outgoing.waiting) KillTimer(app.mainWindow, kSendTimeoutTimerId);
  app.outgoing.waiting = false;
}

// The line is done with, one way or another; what of it went out is counted.
OutgoingLine& EndOutgoingLine() {
  StopSendTimer();
  app.outgoing.inFlight = false;
  if (app.outgoing.sent > 0) CountSent(app.outgoing.sent);
  return app.outgoing;
}

void OnLineSent() {
  EchoSentLine(app.outgoing);  // before the count, as the send steps go
  EndOutgoingLine();
  if (!app.useTcp) {
    ReceivePending();  // a reply that is already there shows right after the echo
    ShowReceivedData();
  }
  SetStatusText(kStatusActivity, kStatusReady);
}

// Nothing of the line went out and the peer merely takes no data: the session can
// go on and the line can be sent again, so it goes back into an empty send line.
// Anything else ends the session, since the peer may hold part of the line.
void OnLineFailed(int error) {
  const OutgoingLine& out = EndOutgoingLine();
  char text[128];
  if (out.sent == 0)
    wsprintfA(text, kSendError, error);
  else
    wsprintfA(text, kSendCutShort, error, out.sent, out.count);
  AppendOutput(text);
  if (error != WSAEWOULDBLOCK || out.sent != 0) DropConnection(app.sessionSocket);
  if (GetWindowTextLengthA(app.sendLine) == 0) SetWindowTextA(app.sendLine, out.line);
  RefreshConnectionView();
}

// Hands the socket what it takes of the rest; waits for FD_WRITE when it takes nothing.
void ContinueSending() {
  OutgoingLine& out = app.outgoing;
  while (out.sent < out.count) {
    const int taken = send(app.sessionSocket, reinterpret_cast<const char*>(out.data) + out.sent,
                           out.count - out.sent, 0);
    if (taken > 0) {
      out.sent += taken;
      continue;
    }
    const int error = taken == SOCKET_ERROR ? WSAGetLastError() : WSAEWOULDBLOCK;
    if (error != WSAEWOULDBLOCK) return OnLineFailed(error);
    // The wait counts from the first time the socket had no room for this line.
    if (!out.waiting) {
      out.waiting = SetTimer(app.mainWindow, kSendTimeoutTimerId, kSendWaitMs, nullptr) != 0;
      if (!out.waiting) return OnLineFailed(error);  // without a timer the wait could never end
    }
    return;
  }
  OnLineSent();
}

}  // namespace

int EncodeSendLine(TransferMode mode, const char* line, unsigned char* data) {
  switch (mode) {
    case TransferMode::Ascii: return wsprintfA(reinterpret_cast<char*>(data), kAsciiLineFormat, line);
    case TransferMode::Advanced: return DecodeEscapes(data, line);
    case TransferMode::Binary: return ParseHexLine(line, data);
  }
  return -1;
}

void OnSendCommand(WPARAM wParam) {
  SetFocus(app.sendLine);
  if (!app.connected) {
    // Idle: the send line is the command line, and this is its Enter.
    SendMessageA(app.sendLine, WM_KEYUP, VK_RETURN, 0);
    return;
  }
  if (HIWORD(wParam) != 0) return;
  if (app.outgoing.inFlight) return;  // one line at a time; the next waits in the send line
  ReadDeferredData();
  SetStatusText(kStatusActivity, kStatusSending);
  OutgoingLine& out = app.outgoing;
  out = OutgoingLine{};
  GetWindowTextA(app.sendLine, out.line, kSendLineSize);
  if (lstrlenA(out.line) == 0) {
    RefreshConnectionView();
    return;
  }
  out.mode = CurrentTransferMode();
  out.count = EncodeSendLine(out.mode, out.line, out.data);
  if (out.count < 0) {
    // The line stays, to be corrected.
    AppendOutput(out.mode == TransferMode::Binary ? kHexError : kEscapeError);
    RefreshConnectionView();
    return;
  }
  out.inFlight = true;
  SetWindowTextA(app.sendLine, "");  // free for the next line while this one goes
  ContinueSending();
}

void OnSocketWrite(SOCKET socket, int error) {
  if (!IsSessionSocket(socket) || !app.outgoing.inFlight) return;
  if (error != 0) return OnLineFailed(error);
  ContinueSending();
}

void OnSendTimeout() {
  StopSendTimer();
  if (app.outgoing.inFlight) OnLineFailed(WSAEWOULDBLOCK);
}

void AbandonOutgoingLine() {
  if (app.outgoing.inFlight) EndOutgoingLine();
}
