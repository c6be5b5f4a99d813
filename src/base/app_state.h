// The one process-wide record, split by concern. Each part starts as WM_CREATE needs it.
#pragma once

#include <windows.h>
#include <winsock.h>  // wsock32's, for WSADATA

#include "base/ids.h"
#include "core/session_core.h"
#include "parse/settings_values.h"
#include "text/limits.h"
#include "text/transcript_backlog.h"
#include "text/transfer_modes.h"

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

// The units every geometry is given in (constants, not measured).
constexpr int kCharHeight = 15;
constexpr int kCharWidth = 7;

// The client area.
struct Layout {
  int clientWidth = 0;
  int clientHeight = 0;
};

// The user's choices, kept in the settings file (the mode is the session core's).
struct Choices {
  bool useTcp = true;
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

// What the program takes from its surroundings, handed in where it starts: tests hand
// in their own.
struct Surroundings {
  const char* executablePath = nullptr;                // null: the module's own
  void (*openWebPage)(const char* address) = nullptr;  // null: the shell opens it
};

struct AppState {
  Surroundings surroundings;
  Controls controls;
  Layout layout;
  Choices choices;
  TranscriptState transcript;
  SessionCore session;  // phase, mode, line on its way out, pacing, counters
  Network network;
};

extern AppState app;
