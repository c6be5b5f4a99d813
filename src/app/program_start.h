// What the process entry reads of how it was started.
#pragma once

#include <windows.h>

// Skips the program name of a process command line (pure; no window calls).
const char* SkipProgramName(const char* commandLine);

// Show state the process was started with (STARTUPINFO, else SW_SHOWDEFAULT).
int StartupShowState();
