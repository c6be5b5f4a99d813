#include "session/receiving.h"

#include <vector>

#include "app/status_bar.h"
#include "app/texts.h"
#include "codec/output_pane.h"
#include "session/connection.h"
#include "session/connection_view.h"
#include "session/counters.h"

namespace {

constexpr char kReceiveError[] = "\r\nERR: Receive Error code: #%i";

// Kept between reads: a fresh megabyte per read would cost page faults every time.
std::vector<char> readBuffer;

// One recv of what is pending, at most kMaxReadBytes, into readBuffer. Returns recv's
// result, or -1 without reading when the pending count cannot be had (the socket is gone).
int ReadPending(SOCKET socket) {
  u_long pending = 0;
  if (ioctlsocket(socket, FIONREAD, &pending) != 0) return -1;
  const int wanted = pending < static_cast<u_long>(kMaxReadBytes) ? static_cast<int>(pending)
                                                                 : kMaxReadBytes;
  if (readBuffer.size() < static_cast<size_t>(wanted) + 1) readBuffer.resize(wanted + 1);
  return recv(socket, readBuffer.data(), wanted, 0);
}

void CALLBACK OnReadResumeTimer(HWND, UINT, UINT_PTR, DWORD) { ReadDeferredData(); }

// The read waits for a timer of its own, which the loop delivers only after all input
// and paint. It is not lost: no new read event comes until recv has been called.
void ReadAfterWaitingMessages(SOCKET socket) {
  app.readResumeSocket = socket;
  if (!SetTimer(app.mainWindow, kReadResumeTimerId, USER_TIMER_MINIMUM, OnReadResumeTimer))
    ReadDeferredData();  // no timer to wait for: read now rather than never
}

void StopFrameTimer() {
  if (app.frameDue) KillTimer(app.mainWindow, kFrameTimerId);
  app.frameDue = 0;
}

void SetFrameTimer(DWORD wait) {
  app.frameDueTick = GetTickCount() + wait;
  app.frameDue = SetTimer(app.mainWindow, kFrameTimerId, wait, nullptr) != 0;
}

// The next piece right after this message, or after the user's input and timers
// when some wait. Paint waits until the last piece: the pane is drawn once, not per piece.
void ScheduleFrameStep() {
  if (HIWORD(GetQueueStatus(QS_INPUT | QS_TIMER))) SetFrameTimer(USER_TIMER_MINIMUM);
  if (!app.frameDue) app.frameStepPosted = PostMessageA(app.mainWindow, kFrameStep, 0, 0) != 0;
}

// Pieces that take about kFramePieceMs to draw, by what the last one cost. The cost
// per character varies a lot (tabs and control bytes are slow to lay out); each change
// of the pane also costs a fixed amount, so pieces have a least size.
void AdaptPieceSize(size_t drawn, DWORD cost) {
  const size_t fitting = drawn * kFramePieceMs / (cost > 0 ? cost : 1);
  size_t next = (app.framePieceChars + fitting) / 2;
  if (next < kMinFramePiece) next = kMinFramePiece;
  if (next > kMaxFramePiece) next = kMaxFramePiece;
  app.framePieceChars = next;
}

// While data streams in, drawing takes at most a third of the time.
DWORD StreamingFrameGap() { return 2 * app.lastPieceMs > kFrameMs ? 2 * app.lastPieceMs : kFrameMs; }

// The counter and status part 0 go with the pane.
void AfterCatchingUp() {
  ShowSessionBytesIn();
  if (!app.outgoing.inFlight) SetStatusText(kStatusActivity, kStatusReady);
  app.lastFrameTick = GetTickCount();
}

// One frame: the pane gets the next piece of what waits. The rest follows a frame
// later while data streams in, or right away once the stream pauses.
void ShowFrame(bool streaming) {
  if (!ShowReceivedPiece()) return;
  if (streaming)
    SetFrameTimer(StreamingFrameGap());
  else
    ScheduleFrameStep();
  if (!app.frameDue && !app.frameStepPosted) ShowReceivedData();  // nothing to wait for
}

// While data streams in, the pane catches up at most once a frame; when the stream
// pauses it catches up at once, or a frame after it last did. Under a flood the
// timer may not come, so reads check the time too.
void ShowAtFramePace(bool streaming) {
  if (app.frameStepPosted) return;  // the next piece is on its way
  const DWORD now = GetTickCount();
  if (!streaming && now - app.lastFrameTick >= kFrameMs) return ShowFrame(false);
  if (app.frameDue) {
    if (streaming && now - app.frameDueTick < 0x80000000u) ShowFrame(true);  // due by now
    return;
  }
  // The first read of a burst waits a frame too: the rest may follow before it.
  SetFrameTimer(StreamingFrameGap());
  if (!app.frameDue) ShowReceivedData();  // no timer to wait for: draw now rather than late
}

}  // namespace

bool HasUnreadData(SOCKET socket) {
  u_long pending = 0;
  return ioctlsocket(socket, FIONREAD, &pending) == 0 && pending > 0;
}

bool LoopHasWaitingMessages() {
  // Socket events are posted messages, which the loop takes before input, paint and
  // timers: under a flood it would never reach those.
  if (HIWORD(GetQueueStatus(QS_PAINT)))
    RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT | QS_TIMER)) != 0;
}

void ReadDeferredData() {
  if (!app.readResumeSocket) return;
  const SOCKET socket = app.readResumeSocket;
  ForgetDeferredRead();
  if (app.connected && IsSessionSocket(socket)) ReceivePending();
}

void ForgetDeferredRead() {
  if (!app.readResumeSocket) return;
  KillTimer(app.mainWindow, kReadResumeTimerId);
  app.readResumeSocket = 0;
}

// Under Wine a theme adds tens of milliseconds to every change of the pane, whatever
// its size: pieces would only multiply that.
bool ThemeDrawsControls() {
  using IsThemeActiveCall = BOOL(WINAPI*)();
  const HMODULE uxtheme = GetModuleHandleA("uxtheme.dll");  // loaded where themes are on
  const auto isThemeActive = uxtheme ? reinterpret_cast<IsThemeActiveCall>(reinterpret_cast<void*>(
                                           GetProcAddress(uxtheme, "IsThemeActive")))
                                     : nullptr;
  return isThemeActive && isThemeActive();
}

bool ShowReceivedPiece() {
  StopFrameTimer();
  if (app.framePieceChars == 0) app.framePieceChars = kMinFramePiece;
  if (ThemeDrawsControls()) app.framePieceChars = kMaxFramePiece;
  const size_t waiting = app.transcriptBacklog.text().size();
  const DWORD start = GetTickCount();
  const bool more = ShowQueuedOutputPart(app.framePieceChars);
  app.lastPieceMs = GetTickCount() - start;
  if (more) AdaptPieceSize(waiting - app.transcriptBacklog.text().size(), app.lastPieceMs);
  AfterCatchingUp();
  return more;
}

void ShowReceivedData() {
  StopFrameTimer();
  ShowQueuedOutput();
  AfterCatchingUp();
}

void OnFrameTimer() { ShowFrame(false); }

void OnFrameStep() {
  app.frameStepPosted = 0;
  ShowFrame(false);
}

int ReceivePending() {
  const int received = ReadPending(app.sessionSocket);
  if (received > 0) {
    app.sessionBytesIn += received;
    app.totalBytesReceived += received;
  }
  const char* bytes = received > 0 ? readBuffer.data() : "";
  if (IsBinaryMode())
    QueueHexDump(bytes, received);
  else
    QueueReceivedText(bytes, received);
  ShowAtFramePace(received > 0 && HasUnreadData(app.sessionSocket));
  return received;
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
