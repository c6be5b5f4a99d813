// Keyboard and mouse behaviour of the four edit controls, the menus and status-bar clicks.
#pragma once

#include "app/app_state.h"

void SubclassControls();
void OnStatusBarClick(int part);
LRESULT CALLBACK EntryFieldProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SendLineProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK OutputPaneProc(HWND, UINT, WPARAM, LPARAM);
