// The one process-wide record and every identifier that more than one piece uses.
#pragma once

#include <winsock.h>  // wsock32's WSADATA; pulls in <windows.h>
#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/transfer_modes.h"
#include "codec/transcript_backlog.h"

// Control identifiers, in the order of their IDs.
enum ControlId : int {
  kHostFieldId = 100,
  kPortFieldId = 101,
  kConnectButtonId = 102,
  kDisconnectButtonId = 103,
  kSendButtonId = 104,
  kClearButtonId = 105,
  kSendLineId = 106,
  kOutputPaneId = 107,
  kStatusBarId = 108,
};

// Context menu of the output pane.
enum OutputMenuId : int {
  kMenuHelpId = 201,
  kMenuAboutId = 202,
  kMenuVisitId = 203,
  kMenuSelectAllId = 204,
  kMenuCopyId = 205,
};

// Private messages. Several share WM_USER and are told apart by target and wParam.
constexpr UINT kSocketNotify = WM_USER + 1;
constexpr UINT kLookupDone = WM_USER + 2;  // WSAAsyncGetHostByName's completion
constexpr UINT kCloseStep = WM_USER + 3;   // shows the next piece of what a closed peer left
constexpr UINT kFrameStep = WM_USER + 4;   // draws the next piece of what was received
constexpr UINT kReportRequest = WM_USER;       // to mainWindow, wParam 1
constexpr UINT kSubclassHandshake = WM_USER;   // to a control, wParam = previous proc
constexpr WPARAM kReportRequestTag = 1;
constexpr LPARAM kWinsockReportArg = 1;
constexpr LPARAM kStatisticsReportArg = 2;
constexpr UINT kHelpRequest = WM_KEYUP;        // with VK_F1
constexpr UINT kAboutRequest = WM_SYSCOMMAND;  // with low word 201
constexpr WPARAM kAboutCommand = 201;
constexpr UINT_PTR kConnectTimerId = 1;
constexpr UINT kConnectTimerMs = 500;
// Resumes a read that waited for the user's input (has its own timer procedure).
constexpr UINT_PTR kReadResumeTimerId = 2;
// Brings the pane up to date with what was read since the last frame.
constexpr UINT_PTR kFrameTimerId = 3;
constexpr UINT kFrameMs = 16;
// A full pane can take longer than a frame to draw: it goes in pieces of about this
// long, each in a message of its own.
constexpr UINT kFramePieceMs = 8;
constexpr size_t kMinFramePiece = 2048;
constexpr size_t kMaxFramePiece = 1 << 16;
// Ends a send that found no room for this long.
constexpr UINT_PTR kSendTimeoutTimerId = 4;
constexpr UINT kSendWaitMs = 3000;
// The next step of a close, after the user's input.
constexpr UINT_PTR kCloseStepTimerId = 5;
constexpr long kSocketEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;

// Text buffer sizes shared by the pieces that read the fields.
constexpr int kHostTextSize = 64;
constexpr int kPortTextSize = 8;
constexpr int kSendLineSize = 256;
constexpr int kSendLineLimit = 251;
constexpr int kCommandTextSize = 31;
// Bytes one send can carry; a full hex line (251 characters) uses 84 of them.
constexpr int kSendBufferSize = 262;

// A line the socket could not take at once; it goes on at FD_WRITE.
struct OutgoingLine {
  bool inFlight;
  bool waiting;  // kSendTimeoutTimerId runs: the socket had no room for it
  TransferMode mode;
  int count;  // bytes of data
  int sent;   // of them, taken by the socket so far
  unsigned char data[kSendBufferSize];
  char line[kSendLineSize];  // as typed, for the echo
};

// Empty at process start; WM_CREATE sets the initial values.
struct AppState {
  BYTE connected;
  BYTE useTcp;
  BYTE connecting;

  // The ten window handles, in control order, as Windows() lists them.
  HWND mainWindow;
  HWND hostField;
  HWND portField;
  HWND connectButton;
  HWND disconnectButton;
  HWND sendButton;
  HWND clearButton;
  HWND sendLine;
  HWND outputPane;
  HWND statusBar;

  char lastHost[kHostTextSize];
  char lastPort[kPortTextSize];

  // TransferMode as two flags: Ascii (1,0), Advanced (1,1), Binary (0,0).
  BYTE textMode;
  BYTE advancedMode;

  BYTE helpArmed;
  BYTE statsArmed;

  int schemeIndex;
  HBRUSH backgroundBrush;

  WNDPROC entryFieldPrevProc;
  WNDPROC sendLinePrevProc;
  WNDPROC outputPanePrevProc;
  HMENU outputMenu;

  int clientWidth;
  int clientHeight;
  int charHeight;
  int charWidth;

  int connectionsFailed;
  int connectionsSucceeded;
  // 64-bit so that a long session never wraps to a negative count.
  int64_t totalBytesSent;
  int64_t totalBytesReceived;
  int64_t sessionBytesOut;
  int64_t sessionBytesIn;

  WSADATA winsockInfo;
  SOCKET sessionSocket;
  // Socket whose read waits for kReadResumeTimerId; 0 when none waits.
  SOCKET readResumeSocket;
  // What was read but is not in the pane yet, and when the pane last caught up.
  TranscriptBacklog transcriptBacklog;
  DWORD lastFrameTick;  // when the pane last caught up
  DWORD frameDueTick;
  BYTE frameDue;         // kFrameTimerId is set, for frameDueTick
  BYTE frameStepPosted;  // kFrameStep is on its way
  size_t framePieceChars;  // what one frame puts into the pane at most
  DWORD lastPieceMs;       // what that took the last time
  BYTE peerClosed;  // the close line waits until the peer's last bytes are shown
  OutgoingLine outgoing;
  // Name lookup of the pending attempt, and the port it connects to.
  HANDLE lookupRequest;
  int lookupPort;
  char lookupBuffer[MAXGETHOSTSTRUCT];
  HFONT controlFont;
  // The private copy of the face controlFont draws with (0 when it uses the face itself).
  HANDLE controlFontFile;
  HMENU modeMenu;
  char settingsPath[MAX_PATH];

  std::array<HWND, 10> Windows() const {
    return {mainWindow, hostField,   portField, connectButton, disconnectButton,
            sendButton, clearButton, sendLine,  outputPane,    statusBar};
  }
};

extern AppState app;

inline bool IsBinaryMode() { return app.textMode == 0; }
inline bool IsAdvancedMode() { return app.advancedMode == 1; }
inline TransferMode CurrentTransferMode() {
  if (!app.textMode) return TransferMode::Binary;
  return app.advancedMode ? TransferMode::Advanced : TransferMode::Ascii;
}
inline void SetTransferMode(TransferMode mode) {
  app.textMode = mode != TransferMode::Binary;
  app.advancedMode = mode == TransferMode::Advanced;
}
