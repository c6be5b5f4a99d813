// The main window: its procedure, its creation and the message loop.
#pragma once

#include "base/app_state.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Everything WinMain does before its message loop: register the class, create the
// window (WM_CREATE runs inside), restore its rectangle, show it. Returns the
// window, or null when the class or the window could not be made. What the program
// takes from its surroundings is handed in here.
HWND CreateMainWindow(HINSTANCE instance, int showState, const Surroundings& surroundings = {});

// Where the message loop takes its messages from: GetMessageA unless another is given.
using MessageSource = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
// Exit code when the message source fails.
constexpr int kMessageLoopFailed = 1;
// Runs until WM_QUIT and returns its wParam, or until the source fails.
int RunMessageLoop(MessageSource getMessage = GetMessageA);
