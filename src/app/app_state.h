// The one process-wide record and every identifier that more than one piece uses.
#pragma once

#include <winsock.h>  // wsock32's WSADATA; pulls in <windows.h>
#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/transfer_modes.h"
#include "codec/transcript_backlog.h"
#include "session/session_core.h"

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
constexpr UINT kLookupDone = WM_USER + 2;   // WSAAsyncGetHostByName's completion
constexpr UINT kSessionStep = WM_USER + 3;  // draws the next piece of the transcript
constexpr UINT kReportRequest = WM_USER;       // to mainWindow, wParam 1
constexpr UINT kSubclassHandshake = WM_USER;   // to a control, wParam = previous proc
constexpr WPARAM kReportRequestTag = 1;
constexpr LPARAM kWinsockReportArg = 1;
constexpr LPARAM kStatisticsReportArg = 2;
constexpr UINT kHelpRequest = WM_KEYUP;        // with VK_F1
constexpr UINT kAboutRequest = WM_SYSCOMMAND;  // with low word 201
constexpr WPARAM kAboutCommand = 201;
// The session's timers.
constexpr UINT_PTR kConnectTimerId = 1;     // dots while a connect is pending
constexpr UINT_PTR kReadResumeTimerId = 2;  // a read that let the user's input go first
constexpr UINT_PTR kFrameTimerId = 3;       // the pane catches up with what was read
constexpr UINT_PTR kSendWaitTimerId = 4;    // a line that found no room gives up
constexpr UINT_PTR kStepTimerId = 5;        // the next piece, after the user's input
constexpr long kSocketEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;

// Text buffer sizes shared by the pieces that read the fields.
constexpr int kHostTextSize = 64;
constexpr int kPortTextSize = 8;
constexpr int kSendLineSize = 256;
constexpr int kSendLineLimit = 251;
constexpr int kCommandTextSize = 31;
// Bytes one send can carry; a full hex line (251 characters) uses 84 of them.
constexpr int kSendBufferSize = 262;

// Empty at process start; WM_CREATE sets the initial values.
struct AppState {
  BYTE useTcp;

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

  // Phase, line on its way out, pacing and counters of the session.
  SessionCore session;

  WSADATA winsockInfo;
  SOCKET sessionSocket;
  // What was read but is not in the pane yet.
  TranscriptBacklog transcriptBacklog;
  // Name lookup of the pending attempt, and the address of the peer.
  HANDLE lookupRequest;
  unsigned long peerAddress;
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
