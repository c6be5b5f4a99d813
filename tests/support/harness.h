// Test harness: the real main window, real controls, a bounded message pump.
#pragma once

#include <doctest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/app_state.h"

// A main window in a fresh state, made by the code WinMain runs (minus the loop).
// Its settings live in a temporary folder of its own; pass ini text to start from
// a settings file. The window is closed, and the folder removed, at scope end.
class FreshWindow {
 public:
  explicit FreshWindow(const std::string& iniText = std::string());
  ~FreshWindow();
  FreshWindow(const FreshWindow&) = delete;
  FreshWindow& operator=(const FreshWindow&) = delete;

  HWND hwnd() const { return window_; }
  const std::string& folder() const { return folder_; }
  std::string iniPath() const { return folder_ + "\\telvane.ini"; }
  // Closes the window as the user would (WM_CLOSE) and waits for WM_DESTROY's quit.
  void Close();

 private:
  HWND window_ = nullptr;
  std::string folder_;
  std::string executable_;  // where the program believes it runs: the folder's
};

// Handles messages until condition() holds or timeoutMs passes; returns condition().
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Handles messages until the pane shows the whole transcript (nothing waits to be
// drawn, no frame is due); returns whether it came to that.
bool PumpUntilShown(int timeoutMs = 5000);
// Puts the session core into phase (Idle, Connecting or Connected) by the events a
// real attempt gives, without any socket: for tests of what reads the phase alone.
// Idle starts the core afresh, in the mode chosen.
void SetSessionPhase(Phase phase);
// The web pages a FreshWindow opened: it records them instead of starting a browser.
const std::vector<std::string>& OpenedPages();
void ForgetOpenedPages();
// The transfer mode chosen, as a switch makes it, without the switch's line: an open
// session reads and sends in it from now on.
void SetTransferMode(TransferMode mode);
inline TransferMode CurrentTransferMode() { return app.session.mode(); }
inline bool IsBinaryMode() { return app.session.mode() == TransferMode::Binary; }
// Handles messages until the main window's timer `id` has ticked once; false when it
// did not within timeoutMs.
bool PumpUntilTick(UINT_PTR id, int timeoutMs = 3000);
// Handles messages until no socket event waits for the main window.
bool PumpUntilNoSocketEvents(int timeoutMs = 5000);
// Handles messages for about ms milliseconds.
void PumpFor(int ms);
// True once a WM_QUIT reached the pump since the last fresh window.
bool QuitSeen();

std::string WindowText(HWND window);
// The clipboard's text, as CF_TEXT has it.
std::string ClipboardText();
std::string StatusPart(int part);
std::string Transcript();
// Transcript text after the banner the pane started with.
std::string TranscriptTail();

// A fresh temporary folder (removed with RemoveFolder).
std::string MakeTempFolder();
void RemoveFolder(const std::string& folder);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);
// Path of a file beside the running test program (telvane.exe is built there).
std::string BesideTestProgram(const char* name);

// The first top-level window, of this thread or of any process, for which match holds.
HWND FindThreadWindow(const std::function<bool(HWND)>& match);
HWND FindAnyWindow(const std::function<bool(HWND)>& match);
std::string ClassOf(HWND window);

// Sends WM_CHAR for each character of text to window.
void TypeChars(HWND window, const std::string& text);
// Sends a key press and release (WM_KEYDOWN then WM_KEYUP) to window.
void PressKey(HWND window, WPARAM virtualKey);
