// The settings file beside the executable: read and applied at start-up, written at exit.
#pragma once

#include <windows.h>

// In WM_CREATE: reads every value, keeps what is usable, and applies it to the fields,
// the protocol, the mode and the scheme; the window's place waits for the window.
void LoadSettings();
// Once the window exists: to the place LoadSettings kept.
void RestoreWindowPlacement();
// The default place as a rectangle, where the window goes before maximising.
RECT DefaultWindowRectangle();
void SaveSettings();
