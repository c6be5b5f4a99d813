// Helpers for driving commands, menus and boxes from the tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "support/harness.h"

// Types text into the send line as keystrokes, then releases Enter there.
void RunTyped(const std::string& text);
// Puts text into the send line as it is (spaces included) and releases Enter.
void RunExact(const std::string& text);

// A left click on a part of the status bar, as the status bar reports it.
void ClickStatusPart(int part);

// Counts the requests that reach the main window while it lives as other programs
// send them: WM_COMMAND with lParam 0, WM_KEYUP, WM_SYSCOMMAND 201 and WM_USER. The
// program's own keys, menus and commands reach their commands without them.
class RequestSpy {
 public:
  RequestSpy();
  ~RequestSpy();
  RequestSpy(const RequestSpy&) = delete;
  RequestSpy& operator=(const RequestSpy&) = delete;
  int count() const { return count_; }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  WNDPROC previous_ = nullptr;
  int count_ = 0;
};

// Runs onTick on a thread timer while a modal loop (menu, message box) is running,
// until it returns true. After timeoutMs it closes any menu or box itself, so no
// test can hang on a modal loop.
class ModalWatcher {
 public:
  explicit ModalWatcher(std::function<bool()> onTick, int timeoutMs = 3000);
  ~ModalWatcher();
  ModalWatcher(const ModalWatcher&) = delete;
  ModalWatcher& operator=(const ModalWatcher&) = delete;
  bool done() const { return done_; }
  bool timedOut() const { return timedOut_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::function<bool()> onTick_;
  UINT_PTR timer_ = 0;
  int ticksLeft_;
  bool done_ = false;
  bool timedOut_ = false;
};

// The visible popup menu ("#32768") or message box ("#32770") of this thread, or null.
HWND OpenMenuWindow();
HWND OpenMessageBox();

struct BoxContents {
  std::string caption;
  std::string text;
  bool hasIcon = false;
};
BoxContents ReadMessageBox(HWND box);
void CloseMessageBox(HWND box);  // presses OK

// Types a menu item's mnemonic into the open menu.
void ChooseMenuMnemonic(HWND menuWindow, char mnemonic);

void SetClipboardText(const std::string& text);

// The web pages opened while it lives (a FreshWindow never starts a browser).
class PageRecorder {
 public:
  PageRecorder();
  ~PageRecorder();
  PageRecorder(const PageRecorder&) = delete;
  PageRecorder& operator=(const PageRecorder&) = delete;
  const std::vector<std::string>& pages() const;
};
