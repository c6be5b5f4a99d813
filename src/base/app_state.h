// The one process-wide record, split by concern. Each part starts as WM_CREATE needs it.
#pragma once

#include <windows.h>
#include <winsock.h>  // wsock32's, for WSADATA

#include "base/ids.h"
#include "rules/limits.h"
#include "rules/session_core.h"
#include "rules/settings_values.h"
#include "rules/transcript_backlog.h"
#include "rules/transfer_modes.h"

// The windows, and what belongs to them.
struct Controls {
  // The ten window handles, in control order.
  HWND mainWindow = nullptr;
  HWND hostField = nullptr;
  HWND portField = nullptr;
  HWND connectButton = nullptr;
  HWND disconnectButton = nullptr;
  HWND sendButton = nullptr;
  HWND clearButton = nullptr;
  HWND sendLine = nullptr;
  HWND outputPane = nullptr;
  HWND statusBar = nullptr;

  WNDPROC entryFieldPrevProc = nullptr;
  WNDPROC sendLinePrevProc = nullptr;
  WNDPROC outputPanePrevProc = nullptr;
  HMENU outputMenu = nullptr;
  HMENU modeMenu = nullptr;
  HFONT controlFont = nullptr;
  // The private copy of the face controlFont draws with (null when it uses the face itself).
  HANDLE controlFontFile = nullptr;
  HBRUSH backgroundBrush = nullptr;
};

// The client area, and the units every geometry is given in (constants, not measured).
struct Layout {
  int clientWidth = 0;
  int clientHeight = 0;
  int charHeight = 15;
  int charWidth = 7;
};

// The user's choices, kept in the settings file.
struct Choices {
  BYTE useTcp = 1;
  // TransferMode as two flags: Ascii (1,0), Advanced (1,1), Binary (0,0).
  BYTE textMode = 1;
  BYTE advancedMode = 0;
  int schemeIndex = 0;
  char lastHost[kHostTextSize] = {};
  char lastPort[kPortTextSize] = {};
  WindowPlace window = {};  // where the window goes once it exists
  char settingsPath[MAX_PATH] = {};
};

// What reaches the transcript but not yet the pane, and the one-shot reports.
struct TranscriptState {
  TranscriptBacklog backlog;
  BYTE helpArmed = 1;
  BYTE statsArmed = 1;
};

// Winsock, the session's socket and the name lookup of an attempt.
struct Network {
  WSADATA winsockInfo = {};
  SOCKET sessionSocket = 0;
  HANDLE lookupRequest = nullptr;
  unsigned long peerAddress = 0;
  char lookupBuffer[MAXGETHOSTSTRUCT] = {};
};

struct AppState {
  Controls controls;
  Layout layout;
  Choices choices;
  TranscriptState transcript;
  SessionCore session;  // phase, line on its way out, pacing, counters
  Network network;
};

extern AppState app;

inline bool IsBinaryMode() { return app.choices.textMode == 0; }
inline bool IsAdvancedMode() { return app.choices.advancedMode == 1; }
inline TransferMode CurrentTransferMode() {
  if (!app.choices.textMode) return TransferMode::Binary;
  return app.choices.advancedMode ? TransferMode::Advanced : TransferMode::Ascii;
}
inline void SetTransferMode(TransferMode mode) {
  app.choices.textMode = mode != TransferMode::Binary;
  app.choices.advancedMode = mode == TransferMode::Advanced;
}
