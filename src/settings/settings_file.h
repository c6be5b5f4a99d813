// The settings file beside the executable.
#pragma once

#include <windows.h>

void LoadSettings();
void RestoreWindowPlacement();
// The centred 700 x 400 rectangle: the placement when the stored one is unusable,
// and where the window goes before maximising.
RECT DefaultWindowRectangle();
void SaveSettings();

// Status parts 3 and 2 as the protocol and the mode stand: at start-up and after a switch.
void ShowProtocol();
void ShowTransferMode();

// Tests point the settings at a folder of their own; null returns to the real path.
void SetExecutablePathForTesting(const char* path);

// The settings file that belongs to an executable: its name with the extension
// "ini" (X.exe -> X.ini; X.program -> X.ini; X -> X.ini). False, with path empty,
// when there is no name or the result does not fit in size bytes.
bool SettingsPathFor(const char* exePath, char* path, int size);
