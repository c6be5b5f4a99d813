#include "session/transfer.h"

#include <vector>

#include "app/main_window.h"
#include "app/texts.h"
#include "codec/binary_mode.h"
#include "codec/escapes.h"
#include "codec/output_pane.h"
#include "session/connection.h"
#include "session/connection_view.h"
#include "session/counters.h"

namespace {

constexpr char kEchoPrompt[] = "\r\n>>> ";
constexpr char kLineBreak[] = "\r\n";
constexpr char kAsciiLineFormat[] = "%s\r\n";
constexpr char kEscapeError[] =
    "\r\nERR: Can't send data because of unknown or invalid escape sequence!\r\n";
constexpr char kHexError[] = "\r\nERR: Can't send data because of invalid hex digits!\r\n";
constexpr char kSendError[] = "\r\nERR: Send Error #%i";
constexpr char kSendCutShort[] = "\r\nERR: Send Error #%i (only %i of %i bytes were sent)";
constexpr char kReceiveError[] = "\r\nERR: Receive Error code: #%i";

// --- sending ---

struct SendResult {
  int sent;   // bytes the platform took
  int error;  // 0 when it took them all
};

// 0 once socket can take data, WSAEWOULDBLOCK when ms pass first, else the reason.
int WaitWritable(SOCKET socket, DWORD ms) {
  fd_set writable;
  fd_set failed;
  FD_ZERO(&writable);
  FD_ZERO(&failed);
  FD_SET(socket, &writable);
  FD_SET(socket, &failed);
  timeval limit{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
  const int ready = select(0, nullptr, &writable, &failed, &limit);
  if (ready == SOCKET_ERROR) return WSAGetLastError();
  return ready == 0 ? WSAEWOULDBLOCK : 0;  // a failure shows in the next send
}

// A non-blocking socket may take only part of the data, or none for a while: keep
// handing over the rest, waiting a bounded time for room.
SendResult SendWhole(SOCKET socket, const char* data, int count) {
  SendResult result{0, 0};
  const DWORD start = GetTickCount();
  while (result.sent < count) {
    const int taken = send(socket, data + result.sent, count - result.sent, 0);
    if (taken > 0) {
      result.sent += taken;
      continue;
    }
    const int error = taken == SOCKET_ERROR ? WSAGetLastError() : WSAEWOULDBLOCK;
    if (error != WSAEWOULDBLOCK) {
      result.error = error;
      break;
    }
    const DWORD waited = GetTickCount() - start;
    result.error = waited < kSendWaitMs ? WaitWritable(socket, kSendWaitMs - waited) : error;
    if (result.error != 0) break;
  }
  return result;
}

void CountSent(int sent) {
  app.sessionBytesOut += sent;
  app.totalBytesSent += sent;
  ShowSessionBytesOut();
}

void EchoSentLine(TransferMode mode, const char* line, const unsigned char* data) {
  AppendOutput(kEchoPrompt);
  if (mode == TransferMode::Ascii) {
    AppendOutput(reinterpret_cast<const char*>(data));  // the line and its CR LF
  } else {
    AppendOutput(line);  // as typed: escapes or hex text, not the bytes
    AppendOutput(kLineBreak);
  }
}

// Nothing of the line went out and the peer merely takes no data: the session can
// go on and the line can be sent again. Anything else ends it, since the peer may
// hold part of the line.
void OnSendFailed(const SendResult& result, int count) {
  char text[128];
  if (result.sent == 0)
    wsprintfA(text, kSendError, result.error);
  else
    wsprintfA(text, kSendCutShort, result.error, result.sent, count);
  AppendOutput(text);
  if (result.error != WSAEWOULDBLOCK || result.sent != 0) DropConnection(app.sessionSocket);
  RefreshConnectionView();
}

// --- receiving ---

// One recv of what is pending, at most kMaxReadBytes. Returns recv's result, or -1
// without reading when the pending count cannot be had (the socket is gone).
int ReadPending(SOCKET socket, std::vector<char>& buffer) {
  u_long pending = 0;
  if (ioctlsocket(socket, FIONREAD, &pending) != 0) return -1;
  const int wanted = pending < static_cast<u_long>(kMaxReadBytes) ? static_cast<int>(pending)
                                                                 : kMaxReadBytes;
  // Two zero bytes after the data: the transcript writer relies on a NUL after it.
  buffer.assign(static_cast<size_t>(wanted) + 2, '\0');
  return recv(socket, buffer.data(), wanted, 0);
}

// Socket events are posted messages, which the message loop takes before input,
// paint and timers: under a flood the loop would never reach those. Paint is done
// here (it changes nothing else); for input and timers the read waits until a timer
// of its own comes, which the loop delivers only after all input and paint. The
// read is not lost: no new read event comes until recv has been called.
bool LoopHasWaitingMessages() {
  if (HIWORD(GetQueueStatus(QS_PAINT)))
    RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

void CALLBACK OnReadResumeTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  const SOCKET socket = app.readResumeSocket;
  app.readResumeSocket = 0;
  if (app.connected && IsSessionSocket(socket)) ReceivePending();
}

void ReadAfterWaitingMessages(SOCKET socket) {
  app.readResumeSocket = socket;
  SetTimer(app.mainWindow, kReadResumeTimerId, USER_TIMER_MINIMUM, OnReadResumeTimer);
}

}  // namespace

void ReadDeferredData() {
  if (!app.readResumeSocket) return;
  KillTimer(app.mainWindow, kReadResumeTimerId);
  const SOCKET socket = app.readResumeSocket;
  app.readResumeSocket = 0;
  if (app.connected && IsSessionSocket(socket)) ReceivePending();
}

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
  ReadDeferredData();
  SetStatusText(kStatusActivity, kStatusSending);
  char line[kSendLineSize] = {};
  GetWindowTextA(app.sendLine, line, kSendLineSize);
  if (lstrlenA(line) == 0) {
    RefreshConnectionView();
    return;
  }
  const TransferMode mode = CurrentTransferMode();
  unsigned char data[kSendBufferSize] = {};
  const int count = EncodeSendLine(mode, line, data);
  if (count < 0) {
    // The line stays, to be corrected.
    AppendOutput(mode == TransferMode::Binary ? kHexError : kEscapeError);
    RefreshConnectionView();
    return;
  }
  const SendResult result = SendWhole(app.sessionSocket, reinterpret_cast<const char*>(data), count);
  if (result.error != 0) {
    if (result.sent > 0) CountSent(result.sent);  // what did go out is counted
    OnSendFailed(result, count);
    return;
  }
  EchoSentLine(mode, line, data);
  SetWindowTextA(app.sendLine, "");
  CountSent(result.sent);
  if (!app.useTcp) ReceivePending();  // a reply that is already there shows right after the echo
  SetStatusText(kStatusActivity, kStatusReady);
}

void ReceivePending() {
  SetStatusText(kStatusActivity, kStatusReceiving);
  std::vector<char> buffer;
  const int received = ReadPending(app.sessionSocket, buffer);
  if (received > 0) {
    app.sessionBytesIn += received;
    app.totalBytesReceived += received;
  }
  const char* bytes = buffer.empty() ? "" : buffer.data();
  if (IsBinaryMode())
    HexDump(bytes, received);
  else
    AppendOutput(bytes, received);
  ShowSessionBytesIn();
  SetStatusText(kStatusActivity, kStatusReady);
}

void OnSocketRead(SOCKET socket, int error) {
  // A late event of a session that has ended, or of an earlier one, reads nothing.
  if (!IsSessionSocket(socket)) return;
  if (error != 0) {
    char text[64];
    wsprintfA(text, kReceiveError, error);
    AppendOutput(text);
    DropConnection(app.sessionSocket);
    RefreshConnectionView();
    return;
  }
  if (app.readResumeSocket == socket) return;  // the waiting read takes this data too
  if (LoopHasWaitingMessages()) {
    ReadAfterWaitingMessages(socket);
    return;
  }
  ReceivePending();
}
