// Keyboard and mouse behaviour of the four edit controls, and status-bar clicks.
#pragma once

#include "base/app_state.h"

// In WM_CREATE: output pane, send line, host field, port field, each told its
// previous procedure by the handshake (WM_USER, wParam = previous).
void SubclassControls();
void OnStatusBarClick(int part);  // status_clicks.cpp
LRESULT CALLBACK EntryFieldProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SendLineProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK OutputPaneProc(HWND, UINT, WPARAM, LPARAM);
