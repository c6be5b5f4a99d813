// The send line's hex entry rules during a Binary session: the window side of the
// hex line, whose text rules are in rules/binary_mode.
#pragma once

#include "base/app_state.h"

// lParam of the WM_CHAR messages that the entry rules send to the line themselves.
constexpr LPARAM kHexEntryMarker = 0x0C;

// WM_CHAR, WM_KEYDOWN and WM_PASTE of the send line while a Binary session is open;
// anything else, or any message outside such a session, is passed on unchanged.
LRESULT HexEntryProc(HWND sendLine, UINT message, WPARAM wParam, LPARAM lParam);
// A Binary session's line that ends with a digit still waiting for its partner.
bool LineWaitsForDigit();
