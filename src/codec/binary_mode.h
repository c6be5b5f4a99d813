// Binary mode: hex entry in the send line, the parse of a hex line, the hex dump.
#pragma once

#include "app/app_state.h"

// WM_CHAR, WM_KEYDOWN and WM_PASTE of the send line while a Binary session is open.
LRESULT HexEntryProc(HWND sendLine, UINT message, WPARAM wParam, LPARAM lParam);
